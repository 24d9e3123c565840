// Two workstations on two nodes of a Galera cluster racing on the same new values, and nodes lost between
// scans and in the middle of one. Run by tests/cluster/cluster_test on a cluster of its own (scripts/cluster).
// Without arguments it is the driver: it starts two workstations (this program with --workstation, each its
// own process, connection and workflow, the host list starting at a different node), sends them the scans,
// takes nodes away and back, and checks every row on every node. Exit code 0 when every check held.

#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>
#include <deque>
#include <iostream>
#include <string>

#include "db/ConnectionProbe.h"
#include "db/OdbcSource.h"
#include "rework/DeviceRecordsModel.h"
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
        if (kind == QLatin1String("records")) {
            // The record editor of a device's serial numbers, on a connection of its own.
            DeviceRecordsModel model(RecordKind::SerialNumbers);
            model.SetDevId(words.value(1).toInt());
            std::printf("records %d %d\n", model.NewRowLine(), worker.messages);
            std::fflush(stdout);
            continue;
        }
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
        // The port the server itself says it serves, beside the host the program believes it uses.
        QSqlQuery port(QStringLiteral("SELECT @@port"), AssemblyDbClass::Shared().DBConObj());
        std::printf("%s %s %llu %d %s\n", recorded ? "recorded" : "refused",
                    qPrintable(AssemblyDbClass::Shared().CurrentHost()),
                    static_cast<unsigned long long>(AssemblyDbClass::CertificationRetries() - reruns), worker.messages,
                    port.next() ? qPrintable(port.value(0).toString()) : "-");
        reruns = AssemblyDbClass::CertificationRetries();
        std::fflush(stdout);
    }
    return 0;
}

// The start of the window on a cluster: the message about a missing claim table, counted.
int RunStartMessage() {
    Worker worker;
    SetDialogs(&worker);
    const AssemblyDbClass& db = AssemblyDbClass::Shared();
    ReportMissingClaimTable(db.OnCluster(), db.HasClaimTable());
    std::printf("%d %s\n", worker.messages,
                MissingClaimTableMessage().contains(QLatin1String("db/cluster-claims.sql")) ? "named" : "-");
    return 0;
}

int failures = 0;

QByteArray ReadSource(const char* path) {
    QFile file(QStringLiteral(VELKOR_SOURCE_DIR "/") + QLatin1String(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

// An answer's host (as the program believes) is the server that answered (its own @@port), over TCP whatever
// SOCKET the data source names.
void ExpectTrueHost(const QString& answer) {
    const QStringList words = answer.split(QLatin1Char(' '));
    Expect(words.value(1).section(QLatin1Char(':'), 1) == words.value(4),
           QStringLiteral("the scan went elsewhere than to the host named: ") + answer);
}

// Root's statement on a node, over its socket.
QString RootSql(int node, const QString& sql) {
    QProcess mariadb;
    mariadb.start(QStringLiteral("mariadb"),
                  {QStringLiteral("--no-defaults"), QStringLiteral("-N"), QStringLiteral("-B"), QStringLiteral("-u"),
                   QStringLiteral("root"),
                   QStringLiteral("-S%1/node%2/mysqld.sock").arg(qEnvironmentVariable("VELKOR_CLUSTER_DIR")).arg(node),
                   QStringLiteral("testlog"), QStringLiteral("-e"), sql});
    mariadb.waitForFinished(60000);
    return QString::fromUtf8(mariadb.readAllStandardOutput()).trimmed();
}

// Polls a node's status until it reads (or no longer reads) the value; false after 60 s.
bool AwaitStatus(int node, const QString& name, const QString& value, bool equal) {
    for (int i = 0; i < 600; ++i) {
        const QString shown =
            RootSql(node, QStringLiteral("SHOW STATUS LIKE '%1'").arg(name)).section(QLatin1Char('\t'), 1);
        if ((shown == value) == equal) {
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

// velkor --check against the cluster; its lines about the nodes, the exit code in exitCode.
QStringList NodeCheckLines(int& exitCode) {
    QProcess check;
    check.start(QStringLiteral(VELKOR_BINARY_DIR "/velkor"), {QStringLiteral("--check")});
    check.waitForFinished(120000);
    exitCode = check.exitCode();
    return QString::fromUtf8(check.readAllStandardOutput())
        .split(QLatin1Char('\n'))
        .filter(QStringLiteral("Datenbankknoten"));
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
    // The data source names node 1's socket too, which the driver prefers to any server named: every scan's answer
    // shows that the host the program names is the server that answered.
    QFile odbcIni(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini"));
    Expect(odbcIni.open(QIODevice::Append), QStringLiteral("odbc.ini of the cluster"));
    odbcIni.write(
        QStringLiteral("SOCKET=%1/node1/mysqld.sock\n").arg(qEnvironmentVariable("VELKOR_CLUSTER_DIR")).toUtf8());
    odbcIni.close();
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
            ExpectTrueHost(answer.join(QLatin1Char(' ')));
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
    // With node 1, the first of its list, down the record editor reads the rows of a device on a live node.
    Send(stations[0], QStringLiteral("records 9030"));
    const QString records = ReadLine(stations[0]);
    std::printf("record editor of device 9030 with node 1 down: %s\n", qPrintable(records));
    Expect(records == QLatin1String("records 1 0"), QStringLiteral("record editor: ") + records);
    Cluster(QStringLiteral("start"), 1);

    // Node 2, where the workstation now is, cut off from the cluster's majority: the scan goes on on node 3, with
    // no message (no lock wait time-out, no false refusal of the order).
    // One scan of the first station, its time and answer printed.
    const auto timedScan = [&stations](const char* what, const QString& command) {
        QElapsedTimer timer;
        timer.start();
        Send(stations[0], command);
        const QString answer = ReadLine(stations[0]);
        std::printf("%s, the next scan (%.1f s): %s\n", what, timer.elapsed() / 1000.0, qPrintable(answer));
        return answer;
    };
    RootSql(2, QStringLiteral("SET GLOBAL wsrep_provider_options='gmcast.isolate=1'"));
    const QString afterIsolation =
        timedScan("node 2 isolated from the cluster", QStringLiteral("code P77000000 P67000000"));
    Expect(afterIsolation.startsWith(QStringLiteral("recorded ") + hosts[2]) &&
               afterIsolation.section(QLatin1Char(' '), 3, 3) == QLatin1String("0"),
           QStringLiteral("after node 2 isolated: ") + afterIsolation);
    want.insert(QStringLiteral("P77000000"), 1);
    RootSql(2, QStringLiteral("SET GLOBAL wsrep_provider_options='gmcast.isolate=0'"));
    Expect(AwaitStatus(2, QStringLiteral("wsrep_local_state_comment"), QStringLiteral("Synced"), true),
           QStringLiteral("node 2 back in the cluster"));

    // Node 3, where the workstation now is, stopped without a reset (SIGSTOP): one wait of the read time-out,
    // then the scan goes on on node 1.
    QFile pidFile(qEnvironmentVariable("VELKOR_CLUSTER_DIR") + QStringLiteral("/node3/started.pid"));
    const qint64 node3 = pidFile.open(QIODevice::ReadOnly) ? pidFile.readAll().trimmed().toLongLong() : 0;
    Expect(node3 > 0 && ::kill(static_cast<pid_t>(node3), SIGSTOP) == 0, QStringLiteral("node 3 stopped"));
    const QString afterStop = timedScan("node 3 stopped without a reset", QStringLiteral("code P76000000 P66000000"));
    Expect(afterStop.startsWith(QStringLiteral("recorded ") + hosts[0]),
           QStringLiteral("after node 3 stopped: ") + afterStop);
    want.insert(QStringLiteral("P76000000"), 1);
    Cluster(QStringLiteral("kill"), 3);
    Cluster(QStringLiteral("start"), 3);

    for (QProcess& station : stations) {
        station.closeWriteChannel();
        station.waitForFinished();
    }
    CheckEveryNode(hosts, firstDevice, want);

    // velkor --check: every node on its own; without the claim table (and without the right to create it) each node
    // fails naming db/cluster-claims.sql, and the window says so once at its start.
    RootSql(1, QString::fromUtf8(ReadSource("db/journal.sql")));
    int exitCode = -1;
    const QStringList healthy = NodeCheckLines(exitCode);
    Expect(healthy.size() == 3 && healthy.filter(QStringLiteral(": OK (Synced")).size() == 3,
           QStringLiteral("velkor --check on the cluster: ") + healthy.join(QLatin1Char('\n')));
    RootSql(1, QStringLiteral("DROP TABLE velkor_claim; REVOKE CREATE ON testlog.* FROM 'testlog'@'127.0.0.1'; "
                              "REVOKE CREATE ON testlog.* FROM 'testlog'@'localhost'"));
    const QStringList unguarded = NodeCheckLines(exitCode);
    std::printf("velkor --check without velkor_claim: %s\n", qPrintable(unguarded.value(0)));
    Expect(exitCode == 1 && unguarded.filter(QStringLiteral("db/cluster-claims.sql")).size() == 3,
           QStringLiteral("velkor --check without velkor_claim: ") + unguarded.join(QLatin1Char('\n')));
    QProcess start;
    start.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start-message")});
    start.waitForFinished(60000);
    const QString shown = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
    Expect(shown == QLatin1String("1 named"), QStringLiteral("start without velkor_claim: ") + shown);
    RootSql(1, QStringLiteral("GRANT CREATE ON testlog.* TO 'testlog'@'127.0.0.1'; GRANT CREATE ON testlog.* TO "
                              "'testlog'@'localhost'; ") +
                   QString::fromUtf8(ReadSource("db/cluster-claims.sql")));
    std::printf("%s\n", failures == 0 ? "every row once on every node" : "FAILED");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--start-message") == 0) {
        return RunStartMessage();
    }
    return argc > 1 && qstrcmp(argv[1], "--workstation") == 0 ? RunWorkstation() : RunDriver();
}
