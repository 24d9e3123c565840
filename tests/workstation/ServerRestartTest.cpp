// The database server stopped and started again between two scans and in the middle of one: the scan in
// question gets one clear German message and leaves nothing behind, no scan waits longer than the connection
// time-out, and the next scan after the restart is recorded without restarting the program.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include "tests/workstation/WorkflowTestHost.h"

namespace {

using namespace tree240101;

const QString kNoConnection = MsgOk(
    "Keine Verbindung zur Datenbank. Der Vorgang wird Gelöscht.\r\nBitte erneut scannen, sobald die Verbindung "
    "wieder besteht.");

// Stops or starts the private server of this test run with the project's own script functions.
void Server(const QString& action) {
    const QString dir = QFileInfo(qEnvironmentVariable("VELKOR_TEST_DB_SOCKET")).absolutePath();
    const int exitCode = QProcess::execute(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral(". \"$1/scripts/lib/mariadb.sh\" && \"$2\" \"$3\""),
         QStringLiteral("bash"), QStringLiteral(VELKOR_SOURCE_DIR), QStringLiteral("velkor_db_") + action, dir});
    ASSERT_EQ(exitCode, 0) << action.toStdString();
    if (action == QLatin1String("start")) {
        ReopenTestDatabase();
    }
}

class ServerRestartTest : public WorkflowTest {
protected:
    // Whatever a test did, the server runs again for the next one.
    ~ServerRestartTest() override {
        Server(QStringLiteral("start"));
        AssemblyDbClass::SetStatementObserver({});
    }

    // Scans a new main board into the selected node; true when it was recorded.
    bool ScanBoard(const QString& code) { return Capture({"", code, "", {}, {""}}); }
};

TEST_F(ServerRestartTest, AStoppedServerCostsEachScanOneMessageAndScanningResumesWhenItIsBack) {
    OpenOrder("240101");
    Select(kLp);
    const QStringList tree = TreeRows();
    const QStringList rows = TraceabilityRows();
    Server(QStringLiteral("stop"));
    for (int scan = 0; scan < 2; ++scan) {
        QElapsedTimer took;
        took.start();
        EXPECT_FALSE(ScanBoard("P24200001"));
        EXPECT_LT(took.elapsed(), 20000) << "a scan waits no longer than the connection time-out";
        EXPECT_EQ(DialogLog(), QStringList{kNoConnection});
        EXPECT_EQ(TreeRows(), tree);
        EXPECT_EQ(host_.status, WorkstationHost::Ready());
        EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
        dialogs_.Forget();
    }
    Server(QStringLiteral("start"));
    EXPECT_EQ(TraceabilityRows(), rows);
    Select(kLp);
    EXPECT_TRUE(ScanBoard("P24200001"));
    EXPECT_EQ(CountTestRows("device_productioncode", "ProductionCode = 'P24200001'"), 1);
    dialogs_.Forget();
}

TEST_F(ServerRestartTest, ARestartInTheMiddleOfAScanDiscardsThatScanAndTheNextOneIsRecorded) {
    OpenOrder("240101");
    Select(kLp);
    const QStringList tree = TreeRows();
    const QStringList rows = TraceabilityRows();
    // The server goes down and comes back while the scan writes its first row.
    bool restarted = false;
    AssemblyDbClass::SetStatementObserver([&](const QString& sql, const QVariantList&) {
        if (!restarted && sql.startsWith(QLatin1String("INSERT"))) {
            restarted = true;
            Server(QStringLiteral("stop"));
            Server(QStringLiteral("start"));
        }
    });
    EXPECT_FALSE(ScanBoard("P24200001"));
    AssemblyDbClass::SetStatementObserver({});
    ASSERT_TRUE(restarted);
    // The operation that met the lost connection may report it first; the scan's message says what happened.
    const QStringList dialogs = DialogLog();
    EXPECT_LE(dialogs.size(), 2);
    EXPECT_EQ(dialogs.value(dialogs.size() - 1), kNoConnection);
    EXPECT_EQ(TraceabilityRows(), rows);
    EXPECT_EQ(TreeRows(), tree);
    EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
    dialogs_.Forget();

    Select(kLp);
    EXPECT_TRUE(ScanBoard("P24200001"));
    EXPECT_EQ(CountTestRows("device_productioncode", "ProductionCode = 'P24200001'"), 1);
    dialogs_.Forget();
}

}  // namespace
