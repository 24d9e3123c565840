// Two workstations on two nodes of a Galera cluster racing on the same new values, and nodes lost between
// scans and in the middle of one. Run by tests/cluster/cluster_test on a cluster of its own (scripts/cluster).
// Without arguments it is the driver: it starts two workstations (this program with --workstation, each its
// own process, connection and workflow, the host list starting at a different node), sends them the scans,
// takes nodes away and back, and checks every row on every node. Exit code 0 when every check held.

#include <QApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>
#include <deque>
#include <iostream>
#include <string>

#include "db/OdbcSource.h"
#include "tests/workstation/WorkflowTestHost.h"

namespace {

// A worker who presses OK, answers every question with its default and types the next prepared input.
class Worker : public UserDialogs {
public:
    std::deque<QString> inputs;
    int messages = 0;  // boxes shown since the last command
    MsgAnswer MsgBox(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        ++messages;
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : DecliningAnswer(buttons);
    }
    QString InputBox(const QString&, const QString&, const QString&) override {
        QString text;
        if (!inputs.empty()) {
            text = inputs.front();
            inputs.pop_front();
        }
        return text;
    }
    QString PasswordBox() override { return QString(); }
    void Beep(int, int) override {}
};

// Commands, one a line: "KIND VALUE OWN [pause]". KIND code: VALUE is the scanned production code, OWN the
// second code asked for; serial: OWN is the scanned code of the power supply, VALUE its serial number asked for;
// external: VALUE is the radio module's supplier serial. With pause the workstation stops before the scan's
// commit, says "paused" and goes on at the next line. Each answer: "recorded|refused HOST RERUNS MESSAGES" (the
// scans run again after a refused commit, the message boxes shown).
int RunWorkstation() {
    Worker worker;
    SetDialogs(&worker);
    WorkflowTestHost host;
    ScanWorkflow flow(host);
    bool pause = false;
    quint64 reruns = 0;
    AssemblyDbClass::SetStatementObserver([&pause](const QString& sql, const QVariantList&) {
        if (pause && sql == QLatin1String("COMMIT;")) {
            pause = false;
            std::printf("paused\n");
            std::fflush(stdout);
            std::string go;
            std::getline(std::cin, go);
        }
    });
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
        const QString& kind = words.value(0);
        worker.inputs.clear();
        worker.messages = 0;
        host.paNr[0] = QStringLiteral("240101");
        host.artNr = QStringLiteral("SG-5000-A01");
        flow.newAss.NewAss();
        pause = words.value(3) == QLatin1String("pause");
        bool recorded = false;
        if (kind == QLatin1String("code")) {
            worker.inputs.push_back(words.value(2));
            recorded = flow.capture.ProdCodeSerNrScanInput(words.value(1), QString());
        } else if (kind == QLatin1String("serial")) {
            host.trees[0].SetSelectedItem(host.trees[0].Item(tree240101::kNt));
            worker.inputs.push_back(words.value(1));
            recorded = flow.capture.ProdCodeSerNrScanInput(words.value(2), QString());
        } else {
            host.trees[0].SetSelectedItem(host.trees[0].Item(tree240101::kFm));
            recorded = flow.capture.ProdCodeSerNrScanInput(QString(), words.value(1));
        }
        std::printf("%s %s %llu %d\n", recorded ? "recorded" : "refused",
                    qPrintable(AssemblyDbClass::Shared().CurrentHost()),
                    static_cast<unsigned long long>(AssemblyDbClass::CertificationRetries() - reruns), worker.messages);
        reruns = AssemblyDbClass::CertificationRetries();
        std::fflush(stdout);
    }
    return 0;
}

int failures = 0;

void Expect(bool condition, const QString& what) {
    if (!condition) {
        ++failures;
        std::printf("FAILED: %s\n", qPrintable(what));
    }
}

QString ReadLine(QProcess& process) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(60000)) {
            return QStringLiteral("(no answer)");
        }
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

void Send(QProcess& process, const QString& command) {
    process.write((command + QLatin1Char('\n')).toUtf8());
    process.waitForBytesWritten();
}

void Cluster(const QString& action, int node) {
    const int code =
        QProcess::execute(QStringLiteral(VELKOR_SOURCE_DIR "/scripts/cluster"), {action, QString::number(node)});
    Expect(code == 0, QStringLiteral("scripts/cluster %1 %2").arg(action).arg(node));
}

// The first value of the statement's first row on the node (its own connection, no host list).
QString NodeValue(const QString& node, const QString& sql, const QVariantList& values = {}) {
    QSqlDatabase db = QSqlDatabase::database(node);
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : values) {
        query.addBindValue(odbc::BindableValue(value));
    }
    Expect(query.exec(), node + QStringLiteral(": ") + sql + QStringLiteral(": ") + query.lastError().text());
    return query.next() ? query.value(0).toString() : QString();
}

// Every row once, nothing half-written, every node the same rows.
void CheckEveryNode(const QStringList& hosts, const QString& firstDevice, const QHash<QString, int>& want) {
    QString firstChecksums;
    for (const QString& node : hosts) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), node);
        db.setDatabaseName(odbc::ConnectOptions(node));
        Expect(db.open(), node + QStringLiteral(" does not answer"));
        for (const auto& [table, column] :
             {std::pair{"device_productioncode", "ProductionCode"}, std::pair{"device_serialnumber", "SerialNumber"}}) {
            Expect(NodeValue(node, QStringLiteral("SELECT COUNT(*) FROM (SELECT %2 FROM %1 GROUP BY %2 HAVING "
                                                  "COUNT(*) > 1) twice")
                                       .arg(QLatin1String(table), QLatin1String(column))) == QLatin1String("0"),
                   node + QStringLiteral(": values recorded twice in ") + QLatin1String(table));
        }
        for (auto value = want.cbegin(); value != want.cend(); ++value) {
            const QString count = NodeValue(node,
                                            QStringLiteral("SELECT (SELECT COUNT(*) FROM device_productioncode WHERE "
                                                           "ProductionCode = ?) + (SELECT COUNT(*) FROM "
                                                           "device_serialnumber WHERE SerialNumber = ?)"),
                                            {value.key(), value.key()});
            Expect(count.toInt() == value.value(),
                   QStringLiteral("%1: %2 recorded %3 times, not %4").arg(node, value.key(), count).arg(value.value()));
        }
        // A device of a scan has its article and its own assembly row, and is a component with its identifier or
        // the final product its components belong to.
        Expect(NodeValue(node,
                         QStringLiteral("SELECT COUNT(*) FROM device d WHERE d.ID >= ? AND (NOT EXISTS (SELECT 1 FROM "
                                        "device_productcode p WHERE p.DevID = d.ID) OR NOT EXISTS (SELECT 1 FROM "
                                        "device_assembly o WHERE o.Device_Assembly = d.ID AND o.AssemblyType = 'A') OR "
                                        "(NOT EXISTS (SELECT 1 FROM device_productioncode c WHERE c.DeviceID = d.ID) "
                                        "AND NOT EXISTS (SELECT 1 FROM device_serialnumber s WHERE s.DeviceID = d.ID) "
                                        "AND NOT EXISTS (SELECT 1 FROM device_assembly a JOIN device_assembly m ON "
                                        "m.AssemblyNum = a.AssemblyNum AND m.AssemblyType = 'Z' WHERE "
                                        "a.Device_Assembly = d.ID AND a.AssemblyType = 'A')))"),
                         {firstDevice}) == QLatin1String("0"),
               node + QStringLiteral(": devices half-written"));
        QString all;
        QSqlQuery sums(QStringLiteral("CHECKSUM TABLE device, device_assembly, device_productioncode, "
                                      "device_serialnumber, device_productionordernumber, device_productcode"),
                       db);
        while (sums.next()) {
            all += sums.value(1).toString() + QLatin1Char(' ');
        }
        if (firstChecksums.isEmpty()) {
            firstChecksums = all;
        }
        Expect(all == firstChecksums, node + QStringLiteral(" holds other rows than ") + hosts.first());
    }
}

int RunDriver() {
    const QStringList hosts = qEnvironmentVariable("VELKOR_DB_HOSTS").split(QLatin1Char(','));
    if (hosts.size() != 3) {
        std::printf("FAILED: VELKOR_DB_HOSTS names no cluster of three nodes\n");
        return 1;
    }
    QProcess stations[2];
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VELKOR_DB_HOSTS"),
                           (hosts.mid(i) + hosts.mid(0, i)).join(QLatin1Char(',')));  // node 1 first, node 2 first
        stations[i].setProcessEnvironment(environment);
        stations[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        stations[i].start(QCoreApplication::applicationFilePath(), {QStringLiteral("--workstation")});
    }
    const QString firstDevice = [&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("start"));
        db.setDatabaseName(odbc::ConnectOptions(hosts.first()));
        db.open();
        QSqlQuery query(QStringLiteral("SELECT COALESCE(MAX(ID), 0) + 1 FROM device"), db);
        return query.next() ? query.value(0).toString() : QStringLiteral("0");
    }();
    // The cluster is a new one for every run: the values need only differ within the run.
    QHash<QString, int> want;  // every value of the run and how often it must be recorded
    int races[3] = {}, reruns = 0;
    for (int i = 0; i < 200; ++i) {
        const int kind = i % 3;
        const QString value = kind == 0   ? QStringLiteral("P7%1").arg(i, 7, 10, QLatin1Char('0'))
                              : kind == 1 ? QStringLiteral("S8%1").arg(i, 8, 10, QLatin1Char('0'))
                                          : QStringLiteral("FM26-%1").arg(i);
        const QString name = QStringList{"code", "serial", "external"}[kind];
        for (int s = 0; s < 2; ++s) {
            Send(stations[s], QStringLiteral("%1 %2 P6%3%4").arg(name, value).arg(s).arg(i, 6, 10, QLatin1Char('0')));
        }
        int recorded = 0;
        for (QProcess& station : stations) {
            const QStringList answer = ReadLine(station).split(QLatin1Char(' '));
            recorded += answer.value(0) == QLatin1String("recorded") ? 1 : 0;
            reruns += answer.value(2).toInt();
        }
        races[kind] += recorded;
        want.insert(value, 1);
    }
    std::printf(
        "200 races across two nodes: %d production codes, %d serial numbers, %d external serial numbers "
        "scans recorded; %d scans run again after a refused commit\n",
        races[0], races[1], races[2], reruns);

    // Node 2 lost between scans: the workstation on it goes on on node 3.
    Cluster(QStringLiteral("kill"), 2);
    Send(stations[1], QStringLiteral("code P79000000 P69000000"));
    const QString afterKill = ReadLine(stations[1]);
    std::printf("node 2 killed between scans, the next scan: %s\n", qPrintable(afterKill));
    Expect(afterKill.startsWith(QStringLiteral("recorded ") + hosts[2]), QStringLiteral("after node 2: ") + afterKill);
    want.insert(QStringLiteral("P79000000"), 1);
    Cluster(QStringLiteral("start"), 2);

    // Node 1 lost in the middle of a scan: the scan ends, nothing of it recorded; scanned again, it is recorded
    // on a live node.
    const QString midValue = QStringLiteral("P78000000");
    const QString midScan = QStringLiteral("code P78000000 P68000000");
    Send(stations[0], midScan + QStringLiteral(" pause"));
    Expect(ReadLine(stations[0]) == QLatin1String("paused"), QStringLiteral("the scan did not reach its commit"));
    Cluster(QStringLiteral("kill"), 1);
    Send(stations[0], QStringLiteral("go"));
    const QString ended = ReadLine(stations[0]);
    Send(stations[0], midScan);
    const QString again = ReadLine(stations[0]);
    std::printf("node 1 killed in the middle of a scan: %s; scanned again: %s\n", qPrintable(ended), qPrintable(again));
    Expect(ended.startsWith(QLatin1String("refused")) && ended.section(QLatin1Char(' '), 3, 3) == QLatin1String("1"),
           QStringLiteral("the scan cut off, one message: ") + ended);
    Expect(again.startsWith(QLatin1String("recorded ") + hosts[1]), QStringLiteral("scanned again: ") + again);
    want.insert(midValue, 1);
    Cluster(QStringLiteral("start"), 1);

    for (QProcess& station : stations) {
        station.closeWriteChannel();
        station.waitForFinished();
    }
    CheckEveryNode(hosts, firstDevice, want);
    std::printf("%s\n", failures == 0 ? "every row once on every node" : "FAILED");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return argc > 1 && qstrcmp(argv[1], "--workstation") == 0 ? RunWorkstation() : RunDriver();
}
