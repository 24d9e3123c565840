// Speed of the traceability queries over 10^6 recorded devices: where-used for 1,000 codes, and the state of an
// order of 10,000 final products.
// Run it through scripts/trace-bench, which starts a database server of its own; the first run fills it
// (on the server, from the sequence engine) and later runs reuse the data. Prints figures, asserts nothing
// about time.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

#include "tests/support/TestDatabase.h"
#include "trace/RecallReports.h"
#include "trace/TraceCommand.h"
#include "trace/TraceQueries.h"

namespace {

constexpr int kProducts = 100000;  // ten devices each
constexpr int kDevices = kProducts * 10;
constexpr int kAssemblyOffset = 2000000;  // assembly numbers differ from device IDs, as in production
constexpr int kCodes = 1000;

// Each product: 1 control unit (root) holding 2 an operating unit with 3 a keyboard and 4 a display,
// 5 a main board (two codes), 6-8 relay modules, 9 a power supply, 10 a radio module (supplier serial only).
// Every 100th product had its relay module 6 taken out (D0) and put into the product before it.
const char* const kGenerate[] = {
    "INSERT INTO device (ID, ValidFlag) SELECT seq, 1 FROM seq_1_to_1000000",
    "INSERT INTO device_productcode (DevID, ProductCode, CreationDate) SELECT seq, "
    "ELT(MOD(seq - 1, 10) + 1, 'BENCH-ROOT', 'BG-5600-B', 'TP-5610-A', 'DP-5620-A', 'LP-5100-A', 'RM-5120-A', "
    "'RM-5120-A', 'RM-5120-A', 'NT-5200-A', 'FM-5300-A'), '2024-01-01' + INTERVAL seq SECOND FROM seq_1_to_1000000",
    "INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) SELECT seq, "
    "CONCAT('P', LPAD(seq, 9, '0')), '2024-01-01' + INTERVAL seq SECOND FROM seq_1_to_1000000 "
    "WHERE MOD(seq - 1, 10) <> 9",
    "INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) SELECT seq, "
    "CONCAT('P1', LPAD(seq, 9, '0')), '2024-01-01' + INTERVAL seq + 1 SECOND FROM seq_1_to_1000000 "
    "WHERE MOD(seq - 1, 10) = 4",
    "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) SELECT seq, "
    "CONCAT('S', LPAD(HEX(seq), 8, '0')), '0', '2024-01-01' + INTERVAL seq SECOND FROM seq_1_to_1000000 "
    "WHERE MOD(seq - 1, 10) IN (0, 1, 8)",
    "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) SELECT seq, "
    "CONCAT(IF(MOD(seq - 1, 10) = 3, 'DP77-', 'FM24-'), seq), '1', '2024-01-01' + INTERVAL seq SECOND "
    "FROM seq_1_to_1000000 WHERE MOD(seq - 1, 10) IN (3, 9)",
    "INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) SELECT seq, "
    "CONCAT('25', LPAD(seq DIV 10000, 4, '0')) FROM seq_1_to_1000000 WHERE MOD(seq - 1, 10) IN (0, 1)",
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) "
    "SELECT seq + 2000000, seq + 2000000, seq, 'A', 250000 + seq DIV 10000, 1 FROM seq_1_to_1000000",
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType) SELECT seq + 4000000, "
    "IF(MOD(seq - 1, 10) IN (2, 3), seq - MOD(seq - 1, 10) + 1, seq - MOD(seq - 1, 10)) + 2000000, "
    "seq + 2000000, 'Z' FROM seq_1_to_1000000 WHERE MOD(seq - 1, 10) <> 0",
    // The membership row of device seq has the key seq + 4000000.
    "UPDATE device_assembly SET AssemblyType = 'D0' WHERE ID BETWEEN 4000001 AND 5000000 "
    "AND MOD(ID - 4000000, 1000) = 996",
    "INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) SELECT seq - 15 + 2000000, "
    "seq + 2000000, 'Z' FROM seq_1_to_1000000 WHERE MOD(seq, 1000) = 996",
    "INSERT INTO testpass (ID, DeviceID, CreationDate) SELECT seq, seq * 10 - 2, '2024-01-01' + INTERVAL seq SECOND "
    "FROM seq_1_to_100000",
    "INSERT INTO testitem (TestPassID, PassFailFlag) SELECT (seq + 1) DIV 2, IF(MOD(seq, 6) = 0, 0, -1) "
    "FROM seq_1_to_200000",
};

// The order of the first 10,000 products: their roots and everything built into them but the operating unit
// (built under its own order) are recorded under it; the ERP copy holds the order and its bill of materials.
// Every 100th product lacks the relay module taken out of it, the one before holds it as a fourth; every
// product's root has a test run, every 7th failed.
constexpr int kOrderProducts = 10000;
const char* const kOrder = "260000";
const char* const kGenerateOrder[] = {
    "INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) VALUES "
    "('260000', 'BENCH-ROOT01', 'Steuergerät für die Messung')",
    "INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, SubCount, SubManufacturer) "
    "VALUES ('260000', 'LP-5100-A', 1, '70114'), ('260000', 'RM-5120-A', 3, '70230'), "
    "('260000', 'NT-5200-A', 1, '70310'), ('260000', 'FM-5300-A', 1, '70455'), ('260000', 'BG-5600-B', 1, '99999')",
    "INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, ProductionCodeCount, SerialNumberCount, "
    "ExtSerialNumberCount, TestRequired) VALUES ('BENCH-ROOT', 0, 1, 1, 0, 0), ('LP-5100-A', 0, 2, 0, 0, 0), "
    "('RM-5120-A', 0, 1, 0, 0, 0), ('NT-5200-A', 0, 1, 1, 0, 0), ('FM-5300-A', 0, 0, 0, 1, 0), "
    "('BG-5600-B', 0, 1, 1, 0, 0), ('TP-5610-A', 0, 1, 0, 0, 0), ('DP-5620-A', 0, 1, 0, 1, 0)",
    "UPDATE device_productionordernumber SET ProductionOrderNumber = '260000' WHERE DeviceID <= 100000 "
    "AND MOD(DeviceID - 1, 10) = 0",
    "UPDATE device_assembly SET MasterProdOrder = 260000 WHERE AssemblyType = 'A' AND Device_Assembly <= 100000 "
    "AND MOD(Device_Assembly - 1, 10) NOT IN (1, 2, 3)",
    "INSERT INTO testpass (ID, DeviceID, CreationDate) SELECT 200000 + seq, seq * 10 - 9, '2025-01-01' + INTERVAL seq "
    "SECOND FROM seq_1_to_10000",
    "INSERT INTO testitem (TestPassID, PassFailFlag) SELECT 200000 + seq, IF(MOD(seq, 7) = 0, 0, -1) "
    "FROM seq_1_to_10000",
};

void GenerateOrderWhenMissing() {
    if (CountTestRows(QStringLiteral("productionorder_khk"), QStringLiteral("ProductionOrderNumber = ?"),
                      {QString::fromLatin1(kOrder)}) > 0) {
        return;
    }
    QElapsedTimer timer;
    timer.start();
    for (const char* statement : kGenerateOrder) {
        ExecTestSql(QString::fromLatin1(statement));
    }
    std::printf("order %s of %d final products prepared in %.1f s\n", kOrder, kOrderProducts, timer.elapsed() / 1000.0);
}

void GenerateWhenMissing() {
    const int devices = QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM device")).toInt();
    const int generated =
        CountTestRows(QStringLiteral("device_productcode"), QStringLiteral("ProductCode = 'BENCH-ROOT'"));
    if (devices == kDevices && generated == kProducts) {
        std::printf("data: %d devices already generated\n", devices);
        return;
    }
    ASSERT_EQ(devices, 0)
        << "the database holds other data; the benchmark fills only an empty one (scripts/trace-bench fresh)";
    QElapsedTimer timer;
    timer.start();
    for (const char* statement : kGenerate) {
        ExecTestSql(QString::fromLatin1(statement));
    }
    ExecTestSql(
        QStringLiteral("ANALYZE TABLE device, device_assembly, device_productioncode, device_serialnumber, "
                       "device_productcode, device_productionordernumber, testpass, testitem"));
    std::printf("data: %d devices generated in %.1f s\n", kDevices, timer.elapsed() / 1000.0);
}

// 1,000 codes spread over the whole store: keyboards two levels deep, supplier serials of displays and radio
// modules, main boards' second codes, relay modules moved between products, and unknown codes.
QStringList Codes() {
    QStringList codes;
    for (int i = 0; i < kCodes; ++i) {
        const int product = static_cast<int>((static_cast<qint64>(i) * 7919) % kProducts);
        const int base = product * 10;
        switch (i % 6) {
            case 0:
                codes.append(QStringLiteral("P%1").arg(base + 3, 9, 10, QLatin1Char('0')));
                break;
            case 1:
                codes.append(QStringLiteral("DP77-%1").arg(base + 4));
                break;
            case 2:
                codes.append(QStringLiteral("FM24-%1").arg(base + 10));
                break;
            case 3:
                codes.append(QStringLiteral("P1%1").arg(base + 5, 9, 10, QLatin1Char('0')));
                break;
            case 4:
                codes.append(QStringLiteral("P%1").arg((product / 100) * 1000 + 996, 9, 10, QLatin1Char('0')));
                break;
            default:
                codes.append(QStringLiteral("X%1").arg(i));
                break;
        }
    }
    return codes;
}

// The whole program with the given arguments, its output kept (and left unread).
void RunQuietly(const QStringList& arguments) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    RunTrace(QStringList{QStringLiteral("velkor-trace")} + arguments, outStream, errStream);
}

double Seconds(const std::function<void()>& run) {
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e9;
}

void Report(const char* what, QList<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-42s best %.3f s, median %.3f s, worst %.3f s (%d runs)\n", what, seconds.first(),
                seconds.at(seconds.size() / 2), seconds.last(), static_cast<int>(seconds.size()));
}

}  // namespace

TEST(TraceWhereUsedBench, ThousandCodesOverAMillionDevices) {
    GenerateWhenMissing();
    const QStringList codes = Codes();
    TraceStore store;
    ASSERT_TRUE(store.IsConnected()) << store.ConnectionError().toStdString();

    WhereUsed result;
    QList<double> queries;
    QList<double> programs;
    QList<double> shows;
    for (int run = 0; run < 5; ++run) {
        queries.append(Seconds([&] { result = FindWhereUsed(store, codes); }));
        programs.append(Seconds([&] {
            RunQuietly(QStringList{QStringLiteral("where-used"), QStringLiteral("--json")} + codes);
        }));
        shows.append(Seconds([&] { RunQuietly({QStringLiteral("show"), QStringLiteral("P000500003")}); }));
    }
    int found = 0;
    int usages = 0;
    int removed = 0;
    for (const CodeUsage& entry : result.codes) {
        found += entry.match.Found() ? 1 : 0;
        usages += entry.usages.size();
        for (const Usage& usage : entry.usages) {
            removed += usage.Removed() ? 1 : 0;
        }
    }
    std::printf("where-used of %d codes: %d found, %d final products (%d removed)\n", kCodes, found, usages, removed);
    Report("where-used, queries only", queries);
    Report("where-used, whole command with JSON output", programs);
    Report("show of one final product", shows);
}

TEST(TraceWhereUsedBench, OrderOfTenThousandFinalProducts) {
    GenerateWhenMissing();
    GenerateOrderWhenMissing();
    TraceStore store;
    ASSERT_TRUE(store.IsConnected()) << store.ConnectionError().toStdString();

    OrderStatus status;
    QList<double> queries;
    QList<double> programs;
    for (int run = 0; run < 5; ++run) {
        queries.append(Seconds([&] { status = FindOrderStatus(store, QString::fromLatin1(kOrder)); }));
        programs.append(Seconds([&] {
            RunQuietly({QStringLiteral("order"), QString::fromLatin1(kOrder), QStringLiteral("--json")});
        }));
    }
    const OrderTotals totals = TotalsOf(status);
    std::printf("order %s: %d final products, %d complete, %d incomplete; %d tested, %d failed\n", kOrder,
                totals.products, totals.complete, totals.incomplete, totals.tested, totals.failed);
    EXPECT_EQ(totals.products, kOrderProducts);
    Report("order, queries only", queries);
    Report("order, whole command with JSON output", programs);
}

// A recall of the radio modules of the order's supplier: 10,000 components, each in one of the order's final
// products, found by criteria over the million devices.
TEST(TraceWhereUsedBench, RecallOfTenThousandFinalProducts) {
    GenerateWhenMissing();
    GenerateOrderWhenMissing();
    TraceStore store;
    ASSERT_TRUE(store.IsConnected()) << store.ConnectionError().toStdString();
    RecallCriteria bySupplier;
    bySupplier.supplier = QStringLiteral("70455");
    RecallCriteria byArticleAndOrder;
    byArticleAndOrder.article = QStringLiteral("FM-53*");
    byArticleAndOrder.order = QString::fromLatin1(kOrder);
    RecallCriteria byDates;  // the radio modules of the first 10,000 products, by the dates of their serials
    byDates.article = QStringLiteral("FM-5300-A");
    byDates.recorded =
        TextRange{QStringLiteral("2024-01-01 00:00:00"), QStringLiteral("2024-01-02 03:46:40.999999"), QString()};
    struct Question {
        const char* what;
        RecallCriteria criteria;
        QStringList arguments;
    };
    const Question questions[] = {
        {"recall by supplier, whole command (JSON)", bySupplier, {"--supplier", "70455"}},
        {"recall by article and order, whole command", byArticleAndOrder, {"--article", "FM-53*", "--order", "260000"}},
        {"recall by article and dates, whole command",
         byDates,
         {"--article", "FM-5300-A", "--recorded", "2024-01-01..2024-01-02 03:46:40"}},
    };
    for (const Question& question : questions) {
        RecallResult result;
        QList<double> queries;
        QList<double> programs;
        for (int run = 0; run < 5; ++run) {
            const RecallCriteria& criteria = question.criteria;
            queries.append(Seconds([&] { result = FindRecall(store, criteria); }));
            programs.append(Seconds([&] {
                RunQuietly(QStringList{QStringLiteral("recall"), QStringLiteral("--json")} + question.arguments);
            }));
        }
        // Where the time of one recall goes: the components, their ways up, the facts of the products.
        QList<qint32> components;
        QMultiHash<qint32, Usage> ways;
        QList<Cycle> cycles;
        const double select = Seconds([&] { components = store.RecallComponents(question.criteria); });
        const double walk = Seconds([&] { ways = store.WalkUp(components, cycles); });
        QList<qint32> tops;
        for (const Usage& usage : ways) {
            tops.append(usage.path.first());
        }
        const double facts = Seconds([&] { store.Facts(tops + components); });
        std::printf("  components %.3f s, ways up %.3f s, facts %.3f s\n", select, walk, facts);
        std::printf("%s: %d components, %d final products\n", question.what, static_cast<int>(result.components.size()),
                    static_cast<int>(result.products.size()));
        Report("recall, queries only", queries);
        Report(question.what, programs);
    }
}
