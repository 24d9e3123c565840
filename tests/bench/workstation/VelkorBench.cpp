// Statements and milliseconds per scan of the workstation over a large recorded history. Run it through
// scripts/bench, which starts a database server of its own per number of devices; the first run fills it on
// the server and later runs reuse the data. Prints figures and never asserts a time; the run fails when the
// scanned assemblies do not go through or, at 10^5 devices and more, when a statement reads a whole
// traceability table.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "tests/bench/workstation/BenchData.h"
#include "tests/bench/workstation/BenchReport.h"
#include "tests/workstation/WorkflowTestHost.h"

namespace {

constexpr int kDecisiveDevices = 100000;  // below this a plan tells little about the plan at scale

// The statements one call sends and the milliseconds it takes.
struct Cost {
    double ms = 0;
    double statements = 0;
};

template <typename Step>
Cost Measure(Step step) {
    const quint64 before = AssemblyDbClass::StatementsSent();
    QElapsedTimer timer;
    timer.start();
    step();
    return {timer.nsecsElapsed() / 1e6, static_cast<double>(AssemblyDbClass::StatementsSent() - before)};
}

// The rows a relay module scan writes (device, article, code, own assembly row, membership), by the fewest
// statements that can write them: one transaction, bound values.
class FloorWriter : public AssemblyDbClass {
public:
    void WriteScanRows(const QString& prodCode, qint32 parentAssNr) {
        Begin();
        Execute(QStringLiteral("INSERT INTO device ( ValidFlag ) VALUES (?);"), {1});
        Execute(QStringLiteral("SET @velkor_floor_device = LAST_INSERT_ID();"));
        Execute(QStringLiteral("INSERT INTO device_productcode ( DevID, ProductCode, Suffix ) VALUES "
                               "(@velkor_floor_device, ?, ?);"),
                {QStringLiteral("RM-5120-A"), 1});
        Execute(QStringLiteral("INSERT INTO device_productioncode ( DeviceID, ProductionCode ) VALUES "
                               "(@velkor_floor_device, ?);"),
                {prodCode});
        Execute(QStringLiteral("INSERT INTO device_assembly ( AssemblyNum, Device_Assembly, AssemblyType, "
                               "MasterProdOrder, OKFlag ) VALUES (NULL, @velkor_floor_device, 'A', ?, 1);"),
                {240101});
        Execute(QStringLiteral("UPDATE device_assembly SET AssemblyNum = ID WHERE ID = LAST_INSERT_ID();"));
        Execute(QStringLiteral("INSERT INTO device_assembly ( AssemblyNum, Device_Assembly, AssemblyType ) VALUES "
                               "(?, LAST_INSERT_ID(), 'Z');"),
                {parentAssNr});
        Commit();
    }
};

class VelkorBench : public ::testing::Test {
protected:
    void SetUp() override {
        AssemblyDbClass::SetStatementObserver([this](const QString& sql, const QVariantList& values) {
            if (observing_ && !statements_.contains(sql)) {
                statements_.insert(sql, values);
            }
            if (tracing_) {
                std::printf("    %s\n", qPrintable(sql.simplified().left(160)));
            }
        });
    }
    void TearDown() override { AssemblyDbClass::SetStatementObserver({}); }

    void EnterOrder() {
        host_.paNr[0] = QStringLiteral("240101");
        host_.artNr = QStringLiteral("SG-5000-A01");
    }

    // One assembly of order 240101, scanned in the article's scan order; adds the cost of every accepted scan.
    void ScanOneAssembly(QList<Cost>& scans) {
        const bench::StockParts stock = bench::AddStockParts();
        const qint64 n = bench::FreshNumberBase() * 20;
        const auto code = [n](int i) { return QStringLiteral("P5%1").arg(n + i, 9, 10, QLatin1Char('0')); };
        // Own serials hold nine digits: S9 and eight.
        const auto serial = [n](int i) {
            return QStringLiteral("S9%1").arg((n + i) % 100000000, 8, 10, QLatin1Char('0'));
        };
        for (const Scan& scan : bench::AssemblyScans(stock, code, serial, QStringLiteral("FM26-%1").arg(n))) {
            for (MsgAnswer answer : scan.answers) {
                dialogs_.QueueAnswer(answer);
            }
            for (const QString& input : scan.inputs) {
                dialogs_.QueueInput(input);
            }
            const QString selected =
                host_.trees[0].SelectedItem() != nullptr ? host_.trees[0].SelectedItem()->Key() : QString();
            bool accepted = false;
            tracing_ = qEnvironmentVariableIsSet("VELKOR_BENCH_TRACE") && scans.size() < 9;
            if (tracing_) {
                std::printf("scan %s:\n", qPrintable(scan.prodCode + scan.serNr));
            }
            scans.append(Measure([&] { accepted = flow_.capture.ProdCodeSerNrScanInput(scan.prodCode, scan.serNr); }));
            EXPECT_TRUE(accepted) << "scan " << (scan.prodCode + scan.serNr).toStdString() << " on node "
                                  << selected.toStdString()
                                  << " was refused: " << dialogs_.Messages().join(QStringLiteral(" / ")).toStdString();
            EXPECT_EQ(host_.status, WorkstationHost::Ready());
            tracing_ = false;
            dialogs_.Clear();
        }
    }

    ScriptedDialogs dialogs_;
    WorkflowTestHost host_;
    ScanWorkflow flow_{host_};
    bool observing_ = false;
    bool tracing_ = false;  // VELKOR_BENCH_TRACE set: the statements of the first assembly scanned
    QHash<QString, QVariantList> statements_;
};

TEST_F(VelkorBench, StatementsAndMillisecondsPerScan) {
    const int devices = bench::EnvInt("VELKOR_BENCH_DEVICES", 1000);
    const int assemblies = bench::EnvInt("VELKOR_BENCH_ASSEMBLIES", 5);
    const double generated = bench::GenerateHistory(devices);
    const int recorded = QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM device")).toInt();
    std::printf("%d devices recorded%s\n", recorded,
                generated > 0 ? qPrintable(QStringLiteral(" (generated in %1 s)").arg(generated, 0, 'f', 2)) : "");
    observing_ = true;

    // A warm-up assembly outside the figures: the first statements of a connection prepare the server's caches.
    EnterOrder();
    flow_.newAss.NewAss();
    QList<Cost> warmUp;
    ScanOneAssembly(warmUp);

    QList<double> newAssMs, newAssStatements;
    for (int i = 0; i < 5; ++i) {
        EnterOrder();
        const Cost cost = Measure([&] { flow_.newAss.NewAss(); });
        newAssMs.append(cost.ms);
        newAssStatements.append(cost.statements);
    }

    QList<Cost> scans;
    for (int i = 0; i < assemblies; ++i) {
        ScanOneAssembly(scans);
    }

    QList<double> showMs, showStatements;
    for (int i = 0; i < 3; ++i) {
        EnterOrder();
        const Cost cost = Measure([&] { flow_.display.SwapDevice(bench::LargeDeviceCode(), 0); });
        EXPECT_GE(host_.trees[0].Count(), 501) << "the device with 500 components was not shown";
        showMs.append(cost.ms);
        showStatements.append(cost.statements);
    }
    dialogs_.Clear();
    const double rss = bench::ResidentMegabytes();
    observing_ = false;

    QList<double> floorMs;
    double floorStatements = 0;
    {
        FloorWriter floor;
        const qint64 n = bench::FreshNumberBase() * 20;
        for (int i = 0; i < scans.size(); ++i) {
            const Cost cost = Measure(
                [&] { floor.WriteScanRows(QStringLiteral("P5%1").arg(n + i, 9, 10, QLatin1Char('0')), 3000001); });
            floorMs.append(cost.ms);
            floorStatements = cost.statements;
        }
    }

    QList<double> scanMs, scanStatements;
    for (const Cost& cost : scans) {
        scanMs.append(cost.ms);
        scanStatements.append(cost.statements);
    }
    const bench::Spread ms = bench::SpreadOf(scanMs);
    const bench::Spread statements = bench::SpreadOf(scanStatements);
    const bench::Spread floor = bench::SpreadOf(floorMs);
    QJsonObject figures{
        {"devices", recorded},
        {"assemblies", assemblies},
        {"scans", static_cast<int>(scans.size())},
        {"machine", bench::MachineDescription()},
        {"scan_ms_median", ms.median},
        {"scan_ms_p95", ms.p95},
        {"scan_ms_max", ms.max},
        {"scan_statements_median", statements.median},
        {"scan_statements_max", statements.max},
        {"scan_statements_per_scan",
         QJsonArray::fromVariantList(QVariantList(scanStatements.begin(), scanStatements.end()))},
        {"floor_ms_median", floor.median},
        {"floor_statements", floorStatements},
        {"program_to_floor_statements", floorStatements > 0 ? statements.median / floorStatements : 0},
        {"program_to_floor_ms", floor.median > 0 ? ms.median / floor.median : 0},
        {"newass_ms", bench::SpreadOf(newAssMs).median},
        {"newass_statements", bench::SpreadOf(newAssStatements).median},
        {"show500_ms", bench::SpreadOf(showMs).median},
        {"show500_statements", bench::SpreadOf(showStatements).median},
        {"rss_mb", rss},
        {"peak_rss_mb", bench::PeakResidentMegabytes()},
        {"distinct_statements", static_cast<int>(statements_.size())},
    };

    const QStringList fullScans = bench::FullScans(statements_);
    figures.insert(QStringLiteral("full_scans"), QJsonArray::fromStringList(fullScans));
    QJsonObject base;
    const QString baseFile = qEnvironmentVariable("VELKOR_BENCH_BASE");
    QFile baseJson(baseFile);
    if (!baseFile.isEmpty() && baseJson.open(QIODevice::ReadOnly)) {
        base = QJsonDocument::fromJson(baseJson.readAll()).object();
    }
    std::printf("%s; %d assemblies of order 240101, %d accepted scans, %d distinct statements\n",
                qPrintable(figures.value("machine").toString()), assemblies, static_cast<int>(scans.size()),
                static_cast<int>(statements_.size()));
    bench::PrintTable(figures, base);
    QFile beforeJson(QStringLiteral(VELKOR_SOURCE_DIR "/tests/bench/workstation/before-%1.json")
                         .arg(recorded >= kDecisiveDevices ? 1000000 : 1000));
    if (beforeJson.open(QIODevice::ReadOnly)) {
        bench::PrintBefore(figures, QJsonDocument::fromJson(beforeJson.readAll()).object());
    }

    const QString out = qEnvironmentVariable("VELKOR_BENCH_OUT");
    if (!out.isEmpty()) {
        QDir().mkpath(QFileInfo(out).absolutePath());
        QFile file(out);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(QJsonDocument(figures).toJson());
            std::printf("\nfigures written to %s\n", qPrintable(out));
        }
    }

    std::printf("\nEXPLAIN of the %d distinct statements: %s\n", static_cast<int>(statements_.size()),
                fullScans.isEmpty() ? "no statement reads a whole traceability table or more than 1 % of its rows"
                                    : "statements reading a whole traceability table or more than 1 % of its rows:");
    for (const QString& line : fullScans) {
        std::printf("  %s\n", qPrintable(line));
    }
    if (!fullScans.isEmpty() && recorded < kDecisiveDevices) {
        std::printf("  (reported only: with fewer than %d devices the server reads small tables whole by choice)\n",
                    kDecisiveDevices);
    }
    std::fflush(stdout);
    if (recorded >= kDecisiveDevices) {
        EXPECT_TRUE(fullScans.isEmpty()) << "statements read whole traceability tables";
    }
}

}  // namespace
