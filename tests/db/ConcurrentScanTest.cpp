#include <gtest/gtest.h>

#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "db/AssemblyDbClass.h"
#include "shell/UserDialogs.h"
#include "tests/support/TestDatabase.h"

// Two workstations (each its own connection, here each its own thread) scanning the same new value at the
// same moment: it is recorded once, the other one is refused.
namespace {

// The workers answer their messages like a person who presses OK; the count is all the test needs.
class CountingDialogs : public UserDialogs {
public:
    CountingDialogs() { SetDialogs(this); }
    ~CountingDialogs() override { SetDialogs(nullptr); }
    MsgAnswer MsgBox(const QString&, MsgButtons, MsgIcon, const QString&) override {
        const QMutexLocker locker(&mutex_);
        ++messages_;
        return MsgAnswer::Ok;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return QString(); }
    QString PasswordBox() override { return QString(); }
    void Beep(int, int) override {}
    int Messages() {
        const QMutexLocker locker(&mutex_);
        return messages_;
    }

private:
    QMutex mutex_;
    int messages_ = 0;
};

qint32 NewDevice() {
    ExecTestSql(QStringLiteral("INSERT INTO device (ValidFlag) VALUES (1)"));
    return QueryTestValue(QStringLiteral("SELECT MAX(ID) FROM device")).toInt();
}

// Runs record(value, device) for every value on two workstations at once, both starting each value together.
void RaceOnEveryValue(int values, const std::function<QString(int)>& valueOf,
                      const std::function<bool(AssemblyDbClass&, const QString&, qint32)>& record) {
    const qint32 devices[2] = {NewDevice(), NewDevice()};
    std::atomic<int> arrived{0};
    auto workstation = [&](int station) {
        AssemblyDbClass db;  // a connection of this workstation's own
        for (int value = 0; value < values; ++value) {
            // Both wait for each other before every value.
            arrived.fetch_add(1);
            while (arrived.load() < 2 * (value + 1)) {
                std::this_thread::yield();
            }
            record(db, valueOf(value), devices[station]);
        }
    };
    std::thread first(workstation, 0);
    std::thread second(workstation, 1);
    first.join();
    second.join();
}

TEST(ConcurrentScanTest, TheSameNewValueOnTwoWorkstationsIsRecordedOnce) {
    ResetTestDatabase();
    constexpr int kRaces = 500;
    struct Case {
        const char* name;
        const char* table;
        const char* column;
        std::function<QString(int)> valueOf;
        std::function<bool(AssemblyDbClass&, const QString&, qint32)> record;
    };
    const Case cases[] = {
        {"production code", "device_productioncode", "ProductionCode",
         [](int i) { return QStringLiteral("P7%1").arg(i, 7, 10, QLatin1Char('0')); },
         [](AssemblyDbClass& db, const QString& value, qint32 devId) {
             return db.InsertProdCodeWithDevID(value, devId);
         }},
        {"own serial number", "device_serialnumber", "SerialNumber",
         [](int i) { return QStringLiteral("7%1").arg(i, 5, 10, QLatin1Char('0')); },
         [](AssemblyDbClass& db, const QString& value, qint32 devId) {
             QString serNr = value;
             return db.InsertSerNrWithDevID(serNr, devId) == 1;
         }},
        {"external serial number", "device_serialnumber", "SerialNumber",
         [](int i) { return QStringLiteral("EXT-RACE-%1").arg(i); },
         [](AssemblyDbClass& db, const QString& value, qint32 devId) {
             return db.InsertExtSerNrWithDevID(value, devId) == 1;
         }},
        // The server compares without letter case and trailing blanks: one workstation's value in small letters and
        // the other's with blanks behind it are one value.
        {"external serial number, other letter case", "device_serialnumber", "SerialNumber",
         [](int i) { return QStringLiteral("FM29-AB9%1").arg(i, 7, 10, QLatin1Char('0')); },
         [](AssemblyDbClass& db, const QString& value, qint32 devId) {
             return db.InsertExtSerNrWithDevID(devId % 2 == 0 ? value.toLower() : value + QStringLiteral("  "),
                                               devId) == 1;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingDialogs dialogs;
        RaceOnEveryValue(kRaces, c.valueOf, c.record);
        // Every value once: no value twice, none lost.
        const QString values =
            QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (SELECT %1 FROM %2 GROUP BY %1 HAVING COUNT(*) > 1)")
                .arg(QLatin1String(c.column), QLatin1String(c.table));
        EXPECT_EQ(QueryTestRows(values).size(), 0) << "values recorded twice";
        int recorded = 0;
        for (int i = 0; i < kRaces; ++i) {
            recorded += CountTestRows(QLatin1String(c.table), QStringLiteral("%1 = ?").arg(QLatin1String(c.column)),
                                      {c.valueOf(i)});
        }
        EXPECT_EQ(recorded, kRaces);
    }
}

// Two workstations adding new components to the same final product at the same moment, each as a scan does
// (one transaction: the component's device, code, article, assembly row and membership, then the final
// product's completeness flag): every component is recorded once, and neither workstation meets a deadlock or
// a lock it waited for in vain.
TEST(ConcurrentScanTest, TwoWorkstationsAddingToOneAssemblyBothRecordTheirComponents) {
    ResetTestDatabase();
    constexpr int kRounds = 200;
    CountingDialogs dialogs;
    AssemblyDbClass setup;
    const qint32 root = setup.CreateDevice().toInt();
    const qint32 rootAssNr = setup.CreateAssNrFromDivID(root, 240101).toInt();
    std::atomic<int> arrived{0}, failures{0};
    auto workstation = [&](int station) {
        AssemblyDbClass db;
        for (int round = 0; round < kRounds; ++round) {
            arrived.fetch_add(1);
            while (arrived.load() < 2 * (round + 1)) {
                std::this_thread::yield();
            }
            try {
                db.Begin();
                const qint32 component = db.CreateDevice().toInt();
                db.InsertProdCodeWithDevID(QStringLiteral("P8%1%2").arg(station).arg(round, 6, 10, QLatin1Char('0')),
                                           component);
                QString artNr = QStringLiteral("LP-5100-A");
                db.InsertArtNrWithDevID(artNr, component);
                const qint32 assNr = db.CreateAssNrFromDivID(component, 240101).toInt();
                db.AddChildToParentAssembly(assNr, rootAssNr);
                db.SetOKFlagInAssembly(root, round % 2 == 0);
                db.Commit();
            } catch (const VelkorError&) {
                failures.fetch_add(1);
                db.RollbackAll();
            }
        }
    };
    std::thread first(workstation, 1), second(workstation, 2);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(dialogs.Messages(), 0);
    EXPECT_EQ(CountTestRows(QStringLiteral("device_productioncode"), QStringLiteral("ProductionCode LIKE 'P8%'")),
              2 * kRounds);
    EXPECT_EQ(CountTestRows(QStringLiteral("device_assembly"), QStringLiteral("AssemblyNum = ? AND AssemblyType = 'Z'"),
                            {rootAssNr}),
              2 * kRounds);
}

}  // namespace
