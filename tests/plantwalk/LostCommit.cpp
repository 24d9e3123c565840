// The answer to a scan's COMMIT lost on its way back, and the COMMIT lost on its way out, each once, through a
// fault relay in front of the test server: the worker must be told what the server did, and the next scan must
// work. Run by velkor-plant-walk --lost-commit.

#include <cstdio>

#include "tests/plantwalk/PlantWalk.h"
#include "tests/support/FaultRelay.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/workstation/WorkflowTestHost.h"

namespace plantwalk {

namespace {

int failures = 0;

void Expect(bool condition, const QString& what) {
    std::printf("%s: %s\n", condition ? "ok" : "FAILED", qPrintable(what));
    std::fflush(stdout);
    failures += condition ? 0 : 1;
}

int Recorded(const QString& code) {
    return CountTestRows(QStringLiteral("device_productioncode"), QStringLiteral("ProductionCode = ?"), {code});
}

int Journaled(const QString& op) {
    return op.isEmpty() ? 0 : CountTestRows(QStringLiteral("velkor_journal"), QStringLiteral("OperationID = ?"), {op});
}

}  // namespace

int RunLostCommit() {
    const QString socket = qEnvironmentVariable("VELKOR_TEST_DB_SOCKET");
    if (socket.isEmpty()) {
        std::printf("FAILED: VELKOR_TEST_DB_SOCKET names no test server\n");
        return 1;
    }
    ResetTestDatabase();
    FaultRelay relay(socket);
    qputenv("VELKOR_DB_HOSTS", relay.Address().toUtf8());  // the program's connection goes through the relay
    ScriptedDialogs dialogs;
    WorkflowTestHost host;
    ScanWorkflow flow(host);
    int commits = 0;
    AssemblyDbClass::SetStatementObserver([&commits](const QString& sql, const QVariantList&) {
        commits += sql.trimmed().startsWith(QLatin1String("COMMIT"), Qt::CaseInsensitive) ? 1 : 0;
    });
    // A new main board with its second code; the status line must read "Bereit" afterwards.
    const auto scan = [&](const QString& code, FaultRelay::Mode mode) {
        dialogs.Forget();
        host.paNr[0] = QStringLiteral("240101");
        host.artNr = QStringLiteral("SG-5000-A01");
        flow.newAss.NewAss();
        dialogs.Forget();
        commits = 0;
        relay.SetMode(mode);
        dialogs.QueueInput(code.left(3) + QString::number(code.mid(3).toInt() + 1));
        const bool accepted = flow.capture.ProdCodeSerNrScanInput(code, QString());
        std::printf("scan %s through the relay in %s: %s, %d COMMIT sent, told: %s\n", qPrintable(code),
                    FaultRelay::ModeName(mode), accepted ? "accepted" : "not accepted", commits,
                    qPrintable(dialogs.Messages().join(QStringLiteral(" | ")).replace(QStringLiteral("\r\n"), " ")));
        relay.SetMode(FaultRelay::Mode::Pass);
        return accepted && host.status == WorkstationHost::Ready();
    };
    const auto told = [&dialogs](const char* start) {
        const QStringList messages = dialogs.Messages();
        return messages.size() == 1 && messages.first().startsWith(QString::fromUtf8(start));
    };

    Expect(scan(QStringLiteral("P40990001"), FaultRelay::Mode::Pass), QStringLiteral("a scan through the relay"));

    // The server committed, the workstation never heard: it must find out and say so.
    const bool afterLost = scan(QStringLiteral("P40990003"), FaultRelay::Mode::DropAfterCommitReply);
    const QString lostOp = AssemblyDbClass::Shared().LastOperationId();
    Expect(relay.Counted().commitAnswersLost == 1, QStringLiteral("the relay dropped the answer to the COMMIT"));
    Expect(told("Die Verbindung zur Datenbank war unterbrochen. Der Vorgang wurde trotzdem gespeichert."),
           QStringLiteral("the worker is told in one line that the scan was saved"));
    Expect(afterLost, QStringLiteral("the scan ends accepted at \"Bereit\""));
    Expect(Recorded(QStringLiteral("P40990003")) == 1 && Journaled(lostOp) == 1,
           QStringLiteral("the board is recorded once, with its journal row"));
    Expect(scan(QStringLiteral("P40990005"), FaultRelay::Mode::Pass) && dialogs.Messages().isEmpty() &&
               Recorded(QStringLiteral("P40990005")) == 1,
           QStringLiteral("the next scan works"));

    // The COMMIT never reached the server: nothing of the scan may stay, and the worker is told so.
    const bool beforeLost = scan(QStringLiteral("P40990007"), FaultRelay::Mode::DropBeforeCommit);
    const QString droppedOp = AssemblyDbClass::Shared().LastOperationId();
    Expect(relay.Counted().commitsDropped == 1, QStringLiteral("the relay dropped the COMMIT"));
    Expect(told("Keine Verbindung zur Datenbank. Der Vorgang wird Gelöscht."),
           QStringLiteral("the worker is told that the scan was discarded"));
    Expect(!beforeLost, QStringLiteral("the scan does not end accepted"));
    Expect(Recorded(QStringLiteral("P40990007")) == 0 && Recorded(QStringLiteral("P40990008")) == 0 &&
               Journaled(droppedOp) == 0,
           QStringLiteral("nothing of it is recorded, no journal row"));
    Expect(scan(QStringLiteral("P40990007"), FaultRelay::Mode::Pass) && Recorded(QStringLiteral("P40990007")) == 1,
           QStringLiteral("scanned again, it is recorded"));
    AssemblyDbClass::SetStatementObserver({});
    std::printf("%s\n", failures == 0 ? "the lost commit and the lost commit answer told as they happened" : "FAILED");
    return failures == 0 ? 0 : 1;
}

}  // namespace plantwalk
