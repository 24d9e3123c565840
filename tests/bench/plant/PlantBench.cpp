// Many workstations at once against one server or a cluster: run through scripts/bench --workstations N, which
// starts (or reuses) the benchmark server of the number of devices and sets the variables read here. The
// parent test starts one process per workstation (this program again, running only PlantWorkstation.*),
// prints the figures and writes them as JSON; it never asserts a time, only that nothing was recorded twice or
// half and, in a race run, that no raced value was lost.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>
#include <iostream>
#include <string>

#include "tests/bench/plant/NodeOutage.h"
#include "tests/bench/plant/PlantRun.h"
#include "tests/bench/plant/PlantWorkstation.h"
#include "tests/bench/workstation/BenchData.h"
#include "tests/bench/workstation/BenchReport.h"

namespace {

const QStringList kRaceKinds{QStringLiteral("prodcode"), QStringLiteral("serial"), QStringLiteral("extserial")};

// The value of a race as the workstations scan it (see PlantWorkstation::Race), and the table holding it.
QString RaceValue(const QString& kind, qint64 value) {
    if (kind == QLatin1String("prodcode")) {
        return QStringLiteral("P9%1").arg(value);
    }
    if (kind == QLatin1String("serial")) {
        return QStringLiteral("S5%1").arg(value % 100000000, 8, 10, QLatin1Char('0'));
    }
    return QStringLiteral("FM28-%1").arg(value);
}

void WriteFigures(const QJsonObject& figures) {
    const QString out = qEnvironmentVariable("VELKOR_BENCH_OUT");
    if (out.isEmpty()) {
        return;
    }
    QDir().mkpath(QFileInfo(out).absolutePath());
    QFile file(out);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QJsonDocument(figures).toJson());
        std::printf("figures written to %s\n", qPrintable(out));
    }
}

QString LogDir() {
    const QString out = qEnvironmentVariable("VELKOR_BENCH_OUT");
    return (out.isEmpty() ? QDir::tempPath() : QFileInfo(out).absolutePath()) + QStringLiteral("/plant-logs");
}

void PrintLine(const char* label, double value) {
    std::printf("%-44s %12s\n", label, qPrintable(QString::number(value, 'f', value == std::floor(value) ? 0 : 2)));
}

}  // namespace

// One workstation, started by the parent test below.
TEST(PlantWorkstation, Scans) {
    if (!qEnvironmentVariableIsSet("VELKOR_PLANT_WORKSTATION")) {
        GTEST_SKIP() << "a workstation of the plant benchmark, started by PlantBench.Workstations";
    }
    const int number = bench::EnvInt("VELKOR_PLANT_WORKSTATION", 0);
    PlantWorkstation station(bench::EnvInt("VELKOR_PLANT_PACE_MS", 2000), static_cast<quint32>(number + 1));
    station.Prepare();
    std::printf("plant ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    const QString kind = qEnvironmentVariable("VELKOR_PLANT_RACE");
    if (kind.isEmpty()) {
        station.Run(bench::EnvInt("VELKOR_PLANT_SECONDS", 60));
    } else {
        station.Race(kind, qEnvironmentVariable("VELKOR_PLANT_RACE_FIRST").toLongLong(),
                     bench::EnvInt("VELKOR_PLANT_RACES", 1000), bench::EnvInt("VELKOR_PLANT_RACE_MS", 150));
    }
    std::printf("plant figures %s\n", QJsonDocument(station.Figures()).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

TEST(PlantBench, Workstations) {
    if (qEnvironmentVariableIsSet("VELKOR_PLANT_WORKSTATION")) {
        GTEST_SKIP();
    }
    const int devices = bench::EnvInt("VELKOR_BENCH_DEVICES", 1000);
    const double generated = bench::GenerateHistory(devices);
    const int recorded = QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM device")).toInt();
    std::printf("%d devices recorded%s\n", recorded,
                generated > 0 ? qPrintable(QStringLiteral(" (generated in %1 s)").arg(generated, 0, 'f', 2)) : "");
    const bool cluster = !qEnvironmentVariableIsEmpty("VELKOR_DB_HOSTS");
    const qint64 firstDevice = QueryTestValue(QStringLiteral("SELECT MAX(ID) + 1 FROM device")).toLongLong();
    const qint64 deadlocksBefore = plant::ServerStatus(QStringLiteral("Innodb_deadlocks"));
    const int races = bench::EnvInt("VELKOR_PLANT_RACES", 0);
    const int workstations =
        races > 0 ? 2 * static_cast<int>(kRaceKinds.size()) : bench::EnvInt("VELKOR_PLANT_WORKSTATIONS", 1);
    const int paceMs = bench::EnvInt("VELKOR_PLANT_PACE_MS", 2000);
    const int seconds = bench::EnvInt("VELKOR_PLANT_SECONDS", 60);

    QList<plant::Station> stations;
    for (int i = 0; i < workstations; ++i) {
        plant::Station station{i, {}};
        if (cluster) {
            station.environment.insert(QStringLiteral("VELKOR_DB_HOSTS"), plant::RotatedHosts(i));
        }
        if (races > 0) {
            // A pair per kind, its two workstations on neighbouring (so different) nodes.
            station.environment.insert(QStringLiteral("VELKOR_PLANT_RACE"), kRaceKinds.at(i / 2));
            station.environment.insert(QStringLiteral("VELKOR_PLANT_RACE_FIRST"), QString::number(firstDevice));
        }
        stations.append(station);
    }
    std::printf(
        "%d workstations%s, %s\n", workstations, cluster ? " spread over the cluster's nodes" : "",
        races > 0 ? qPrintable(QStringLiteral("%1 races of each kind").arg(races))
        : paceMs > 0
            ? qPrintable(QStringLiteral("a scan every %1 s (±50 %) each for %2 s").arg(paceMs / 1000.0).arg(seconds))
            : qPrintable(QStringLiteral("flat out for %1 s").arg(seconds)));
    std::fflush(stdout);
    const int timeout = races > 0 ? races * bench::EnvInt("VELKOR_PLANT_RACE_MS", 150) / 1000 + 300 : seconds + 300;
    const std::unique_ptr<NodeOutage> outage = NodeOutage::FromEnvironment();
    if (outage != nullptr) {
        outage->Schedule();
    }
    const QList<QJsonObject> reports = plant::RunStations(stations, LogDir(), timeout);
    if (outage != nullptr) {
        EXPECT_TRUE(outage->WaitForRejoin(600)) << "the node was not killed or did not start again";
    }

    QList<double> ms, statements;
    int accepted = 0, errors = 0, deadlocks = 0, silent = 0;
    double retries = 0, endMs = 0;
    QJsonArray messages;
    for (const QJsonObject& report : reports) {
        if (report.isEmpty()) {
            ++silent;
            continue;
        }
        for (const QJsonValue& value : report.value("ms").toArray()) {
            ms.append(value.toDouble());
        }
        for (const QJsonValue& value : report.value("statements").toArray()) {
            statements.append(value.toDouble());
        }
        accepted += report.value("accepted").toInt();
        errors += report.value("errors").toInt();
        deadlocks += report.value("deadlocks").toInt();
        retries += report.value("retries").toDouble();
        endMs = std::max(endMs, report.value("end_ms").toDouble());
        for (const QJsonValue& message : report.value("messages").toArray()) {
            if (messages.size() < 10) {
                messages.append(message);
            }
        }
    }
    if (cluster) {
        ExecTestSql(QStringLiteral("SET SESSION wsrep_sync_wait = 1"));  // reads see every node's commits
    }
    QJsonObject figures{
        {"devices", recorded},
        {"machine", bench::MachineDescription()},
        {"cluster", cluster},
        {"workstations", workstations},
        {"workstations_without_figures", silent},
        {"scans", static_cast<int>(ms.size())},
        {"scans_accepted", accepted},
        {"errors", errors},
        {"deadlocks", deadlocks},
        {"server_deadlocks",
         static_cast<double>(plant::ServerStatus(QStringLiteral("Innodb_deadlocks")) - deadlocksBefore)},
        {"certification_retries", retries},
        {"scan_ms_p50", plant::Percentile(ms, 0.50)},
        {"scan_ms_p95", plant::Percentile(ms, 0.95)},
        {"scan_ms_p99", plant::Percentile(ms, 0.99)},
        {"scan_ms_max", plant::Percentile(ms, 1.0)},
        {"statements_per_scan_median", plant::Percentile(statements, 0.5)},
        {"statements_per_scan_max", plant::Percentile(statements, 1.0)},
        {"duplicates", plant::DuplicatesSince(firstDevice)},
        {"half_written_rows", plant::HalfWrittenSince(firstDevice)},
        {"first_refusals", messages},
    };
    std::printf("\n");
    if (races > 0) {
        figures.insert(QStringLiteral("races_per_kind"), races);
        int lost = 0, twice = 0;
        for (const QString& kind : kRaceKinds) {
            const QString table = kind == QLatin1String("prodcode") ? QStringLiteral("device_productioncode")
                                                                    : QStringLiteral("device_serialnumber");
            const QString column =
                kind == QLatin1String("prodcode") ? QStringLiteral("ProductionCode") : QStringLiteral("SerialNumber");
            int kindLost = 0, kindTwice = 0;
            for (int race = 0; race < races; ++race) {
                const int rows =
                    QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, column),
                                   {RaceValue(kind, firstDevice + race)})
                        .toInt();
                kindLost += rows == 0 ? 1 : 0;
                kindTwice += rows > 1 ? 1 : 0;
            }
            figures.insert(kind + QStringLiteral("_lost"), kindLost);
            figures.insert(kind + QStringLiteral("_twice"), kindTwice);
            std::printf("%-10s %d races: values recorded twice %d, lost %d\n", qPrintable(kind), races, kindTwice,
                        kindLost);
            lost += kindLost;
            twice += kindTwice;
        }
        EXPECT_EQ(lost, 0) << "raced values recorded by neither workstation";
        EXPECT_EQ(twice, 0) << "raced values recorded twice";
    } else {
        figures.insert(QStringLiteral("pace_s"), paceMs / 1000.0);
        figures.insert(QStringLiteral("seconds"), seconds);
        figures.insert(QStringLiteral("scans_per_second"), endMs > 0 ? accepted / (endMs / 1000.0) : 0);
        PrintLine("scans (accepted)", accepted);
        PrintLine("scans per second", figures.value("scans_per_second").toDouble());
        PrintLine("scan to \"Bereit\", ms, p50", figures.value("scan_ms_p50").toDouble());
        PrintLine("scan to \"Bereit\", ms, p95", figures.value("scan_ms_p95").toDouble());
        PrintLine("scan to \"Bereit\", ms, p99", figures.value("scan_ms_p99").toDouble());
        PrintLine("scan to \"Bereit\", ms, max", figures.value("scan_ms_max").toDouble());
        PrintLine("statements per accepted scan, median", figures.value("statements_per_scan_median").toDouble());
        PrintLine("statements per accepted scan, max", figures.value("statements_per_scan_max").toDouble());
        PrintLine("errors (scans not ending at \"Bereit\")", errors);
        if (outage != nullptr) {
            errors -= outage->Report(reports, figures);
        }
        EXPECT_EQ(errors, 0) << "scans refused that no lost node explains";
    }
    PrintLine("deadlocks reported to a worker", deadlocks);
    PrintLine("deadlocks counted by the server", figures.value("server_deadlocks").toDouble());
    PrintLine("certification retries", retries);
    PrintLine("values recorded twice (SQL afterwards)", figures.value("duplicates").toDouble());
    PrintLine("rows of a missing device (SQL afterwards)", figures.value("half_written_rows").toDouble());
    for (const QJsonValue& message : races > 0 ? QJsonArray() : messages) {  // in a race half the scans are
        std::printf("  refused: %s\n", qPrintable(message.toString().simplified().left(200)));
    }
    std::fflush(stdout);
    WriteFigures(figures);
    EXPECT_EQ(silent, 0) << "workstations ended without figures; see " << LogDir().toStdString();
    EXPECT_EQ(figures.value("duplicates").toInt(), 0);
    EXPECT_EQ(figures.value("half_written_rows").toInt(), 0) << "rows written for a device that is not recorded";
}
