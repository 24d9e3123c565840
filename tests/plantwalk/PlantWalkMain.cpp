// velkor-plant-walk: several workstations at once against one server or a Galera cluster, each through a fault
// relay of its own, racing on the same values and devices at every tick, with faults of the network and the
// cluster on a seeded schedule; then every history checked against every node.
//
//   velkor-plant-walk [--workstations N] [--seconds S] [--seed K] [--tick-ms T] [--cluster] [--faults] [--out DIR]
//   velkor-plant-walk --lost-commit
//
// One server: the test server of VELKOR_TEST_DB_SOCKET. --cluster: the nodes of VELKOR_DB_HOSTS, started by
// scripts/cluster in VELKOR_CLUSTER_DIR. Exit status: 0 no violation, 1 violations (or no race happened),
// 2 usage error.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <cstdio>
#include <memory>
#include <vector>

#include "tests/bench/plant/PlantRun.h"
#include "tests/bench/workstation/BenchData.h"
#include "tests/plantwalk/FaultSchedule.h"
#include "tests/plantwalk/PlantWalk.h"
#include "tests/plantwalk/PlantWalkCheck.h"
#include "tests/support/TestDatabase.h"

namespace {

void Print(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

struct Options {
    int workstations = 3;
    int seconds = 60;
    quint32 seed = 1;
    int tickMs = 1000;
    bool cluster = false, faults = false, lostCommit = false;
    QString out;
};

bool Parse(const QStringList& args, Options& o) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QLatin1String("--workstations") && hasValue) {
            o.workstations = args[++i].toInt(&ok);
        } else if (arg == QLatin1String("--seconds") && hasValue) {
            o.seconds = args[++i].toInt(&ok);
        } else if (arg == QLatin1String("--seed") && hasValue) {
            o.seed = args[++i].toUInt(&ok);
        } else if (arg == QLatin1String("--tick-ms") && hasValue) {
            o.tickMs = args[++i].toInt(&ok);
        } else if (arg == QLatin1String("--out") && hasValue) {
            o.out = args[++i];
        } else if (arg == QLatin1String("--cluster")) {
            o.cluster = true;
        } else if (arg == QLatin1String("--faults")) {
            o.faults = true;
        } else if (arg == QLatin1String("--lost-commit")) {
            o.lostCommit = true;
        } else {
            return false;
        }
        if (!ok) {
            return false;
        }
    }
    return o.workstations >= 2 && o.seconds > 0 && o.tickMs >= 100;
}

// The run's database as the demo leaves it, with empty journal tables.
void Reset() {
    ResetTestDatabase();
    for (const char* table : {"velkor_journal", "velkor_journal_device"}) {
        if (CountTestRows(QStringLiteral("information_schema.TABLES"),
                          QStringLiteral("TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?"),
                          {QString::fromLatin1(table)}) > 0) {
            ExecTestSql(QStringLiteral("TRUNCATE TABLE ") + QLatin1String(table));
        }
    }
}

int Drive(const Options& o) {
    const QString outDir = o.out.isEmpty() ? QStringLiteral(VELKOR_BINARY_DIR "/plantwalk/%1-seed%2")
                                                 .arg(o.cluster ? QStringLiteral("cluster") : QStringLiteral("server"))
                                                 .arg(o.seed)
                                           : o.out;
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    const QStringList hosts =
        o.cluster ? qEnvironmentVariable("VELKOR_DB_HOSTS").split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList();
    const QString socket = qEnvironmentVariable("VELKOR_TEST_DB_SOCKET");
    if (o.cluster ? hosts.size() != 3 || qEnvironmentVariableIsEmpty("VELKOR_CLUSTER_DIR") : socket.isEmpty()) {
        Print(
            QStringLiteral("FAILED: no server to walk on (VELKOR_TEST_DB_SOCKET, or with --cluster VELKOR_DB_HOSTS "
                           "of three nodes and VELKOR_CLUSTER_DIR)"));
        return 2;
    }
    Reset();
    const qint64 firstDevice =
        QueryTestValue(QStringLiteral("SELECT COALESCE(MAX(ID), 0) + 1 FROM device")).toLongLong();
    plantwalk::Pools pools;
    for (int i = 0; i < o.workstations + 3; ++i) {
        const bench::StockParts stock = bench::AddStockParts();
        pools.moduleIds.append(stock.number);
        pools.moduleCodes.append(stock.displayModuleCode);
        pools.keyboardCodes.append(stock.keyboardCode);
    }
    plantwalk::WritePools(outDir + QStringLiteral("/pools.json"), pools);

    // Each workstation through a relay of its own, in front of one node; on a cluster the other nodes follow in
    // its host list, so that it can go on there when its own is lost.
    std::vector<std::unique_ptr<FaultRelay>> relays;
    QList<plant::Station> stations;
    const qint64 epoch = QDateTime::currentMSecsSinceEpoch();
    for (int ws = 1; ws <= o.workstations; ++ws) {
        QStringList rotated = hosts;
        std::rotate(rotated.begin(), rotated.begin() + (hosts.isEmpty() ? 0 : (ws - 1) % hosts.size()), rotated.end());
        relays.push_back(std::make_unique<FaultRelay>(o.cluster ? rotated.first() : socket));
        rotated = rotated.mid(1);
        rotated.prepend(relays.back()->Address());
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("VELKOR_DB_HOSTS"), rotated.join(QLatin1Char(',')));
        environment.insert(QStringLiteral("VELKOR_PLANTWALK_DIR"), outDir);
        environment.insert(QStringLiteral("VELKOR_PLANTWALK_SEED"), QString::number(o.seed));
        environment.insert(QStringLiteral("VELKOR_PLANTWALK_SECONDS"), QString::number(o.seconds));
        environment.insert(QStringLiteral("VELKOR_PLANTWALK_EPOCH"), QString::number(epoch));
        environment.insert(QStringLiteral("VELKOR_PLANTWALK_TICK_MS"), QString::number(o.tickMs));
        stations.append({ws, environment});
    }
    std::unique_ptr<plantwalk::FaultSchedule> faults;
    if (o.faults) {
        faults = std::make_unique<plantwalk::FaultSchedule>(
            relays, o.cluster ? qEnvironmentVariable("VELKOR_CLUSTER_DIR") : QString(), o.seed, o.seconds);
    }
    const QList<QJsonObject> figures = plant::RunStations(stations, outDir, o.seconds + 240);
    if (faults) {
        faults->Stop();
    }
    int violations = 0;
    for (int ws = 1; ws <= o.workstations; ++ws) {
        if (!figures.value(ws - 1).contains(QStringLiteral("steps"))) {
            ++violations;
            Print(QStringLiteral("VIOLATION seed %1 ws %2: the workstation did not finish (see %3/ws-%2.log)")
                      .arg(o.seed)
                      .arg(ws)
                      .arg(outDir));
        }
    }
    if (!plantwalk::WaitUntilNodesAgree(hosts)) {
        ++violations;
        Print(QStringLiteral("VIOLATION seed %1: the nodes did not agree again within two minutes").arg(o.seed));
    }
    const QList<plantwalk::Step> steps = plantwalk::ReadHistories(outDir, o.workstations);
    QMap<QString, int> told;
    for (const plantwalk::Step& step : steps) {
        ++told[step.told];
    }
    QStringList toldText;
    for (auto it = told.cbegin(); it != told.cend(); ++it) {
        toldText.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
    }
    Print(QStringLiteral("velkor-plant-walk seed %1%2%3: %4 workstations, %5 s, %6 steps (told: %7)")
              .arg(o.seed)
              .arg(o.cluster ? QStringLiteral(" on the cluster") : QStringLiteral(" on one server"),
                   o.faults ? QStringLiteral(" with faults") : QString())
              .arg(o.workstations)
              .arg(o.seconds)
              .arg(steps.size())
              .arg(toldText.join(QStringLiteral(", "))));
    const int races = plantwalk::ReportRaces(steps);
    if (faults) {
        const QMap<QString, int> happened = faults->Happened();
        for (auto it = happened.cbegin(); it != happened.cend(); ++it) {
            Print(QStringLiteral("  faults: %1: %2").arg(it.key()).arg(it.value()));
        }
    }
    violations += plantwalk::CheckRun(steps, hosts, o.seed, firstDevice);
    Print(QStringLiteral("velkor-plant-walk seed %1: %2 races, %3 violations").arg(o.seed).arg(races).arg(violations));
    if (races == 0) {
        Print(QStringLiteral("FAILED: no race happened; the run proves nothing"));
    }
    return violations == 0 && races > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (!qEnvironmentVariableIsEmpty("VELKOR_PLANT_WORKSTATION")) {
        return plantwalk::RunStation();
    }
    Options options;
    if (!Parse(QCoreApplication::arguments(), options)) {
        std::fprintf(
            stderr,
            "usage: velkor-plant-walk [--workstations N>=2] [--seconds S] [--seed K] [--tick-ms T] [--cluster] "
            "[--faults] [--out DIR] | --lost-commit\n");
        return 2;
    }
    if (!SelectTestDataSource()) {
        return 2;
    }
    ::testing::InitGoogleTest();
    const int status = options.lostCommit ? plantwalk::RunLostCommit() : Drive(options);
    if (::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed()) {
        Print(QStringLiteral("the test database helpers reported failures (see above)"));
        return 1;
    }
    return status;
}
