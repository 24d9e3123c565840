#include "tests/bench/workstation/BenchData.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

#include "tests/support/TestDatabase.h"

namespace bench {

namespace {

constexpr int kDeviceOffset = 100000;  // generated device IDs start above the demo devices
constexpr int kLargeComponents = 500;
constexpr int kDevicesPerProduct = 11;
// Rows of one statement, in whole products: no transaction of the fill (nor a cluster's write set) grows beyond.
constexpr int kChunk = 10000 * kDevicesPerProduct;

// Position in the product: MOD(seq - 1, 11). 0 control unit, 1 main board, 2-4 relay modules, 5 power supply,
// 6 radio module, 7 display module, 8 operating unit, 9 keyboard, 10 display (9 and 10 inside 8).
// The ID ranges (@velkor_bench_span: 10^6 up to a million devices, 10^7 above): device IDs from 100000, assembly
// numbers of the devices' own rows from 3 spans, the large device's from 4 spans, its memberships from 4.5 spans, the
// other memberships from 5 spans: assembly numbers unlike the device IDs, as in production.
#define POS "MOD(seq - 1, 11)"
#define SEQ "FROM seq_1_to_10000000 WHERE seq BETWEEN ? AND ?"

const char* const kProducts[] = {
    "INSERT INTO device (ID, ValidFlag) SELECT seq + 100000, 1 " SEQ,
    "INSERT INTO device_productcode (DevID, ProductCode, Suffix) SELECT seq + 100000, ELT(" POS
    " + 1, 'SG-5000-A', 'LP-5100-A', 'RM-5120-A', 'RM-5120-A', 'RM-5120-A', 'NT-5200-A', 'FM-5300-A', 'AM-5400-A', "
    "'BG-5600-B', 'TP-5610-A', 'DP-5620-A'), ELT(" POS " + 1, NULL, 2, 1, 2, 3, NULL, 2, 2, NULL, 2, 2) " SEQ,
    "INSERT INTO device_productioncode (DeviceID, ProductionCode) SELECT seq + 100000, CONCAT('P3', LPAD(seq, 7, "
    "'0')) " SEQ " AND " POS " <> 6",
    "INSERT INTO device_productioncode (DeviceID, ProductionCode) SELECT seq + 100000, CONCAT('P4', LPAD(seq, 7, "
    "'0')) " SEQ " AND " POS " = 1",
    "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) SELECT seq + 100000, CONCAT('S', LPAD(seq, "
    "9, '0')), '0' " SEQ " AND " POS " IN (0, 5, 8)",
    "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) SELECT seq + 100000, CONCAT(IF(" POS
    " = 6, 'FM25-', 'DP78-'), seq), '1' " SEQ " AND " POS " IN (6, 10)",
    "INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) SELECT seq + 100000, CONCAT(IF(" POS
    " = 0, '25', '26'), LPAD(MOD(seq DIV 11000, 10000), 4, '0')) " SEQ " AND " POS " IN (0, 8)",
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) SELECT "
    "seq + 3 * @velkor_bench_span, seq + 3 * @velkor_bench_span, seq + 100000, 'A', IF(" POS
    " >= 8, 260000, 250000) + MOD(seq DIV 11000, 10000), 1 " SEQ,
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType) SELECT seq + 5 * @velkor_bench_span, "
    "IF(" POS " IN (9, 10), seq - " POS " + 8, seq - " POS
    ") + 3 * @velkor_bench_span, seq + 3 * @velkor_bench_span, 'Z' " SEQ " AND " POS " <> 0",
    "INSERT INTO testpass (ID, DeviceID) SELECT seq + 100000, seq + 100000 " SEQ " AND " POS " = 7",
    "INSERT INTO testitem (TestPassID, PassFailFlag) SELECT seq + 100000, -1 " SEQ " AND " POS " = 7",
};

// The large device: seq 0 the control unit, 1-200 relay modules, 201-300 operating units, 301-400 their
// keyboards, 401-500 their displays. @velkor_bench_large: the first device ID.
#define LARGE "FROM seq_0_to_500"
#define KIND "IF(seq = 0, 0, IF(seq <= 200, 1, IF(seq <= 300, 2, IF(seq <= 400, 3, 4))))"
#define FIRST "@velkor_bench_large"
const char* const kLargeDevice[] = {
    "INSERT INTO device (ID, ValidFlag) SELECT seq + " FIRST ", 1 " LARGE,
    "INSERT INTO device_productcode (DevID, ProductCode, Suffix) SELECT seq + " FIRST ", ELT(" KIND
    " + 1, 'SG-5000-A', 'RM-5120-A', 'BG-5600-B', 'TP-5610-A', 'DP-5620-A'), ELT(" KIND
    " + 1, NULL, 1, NULL, 2, 2) " LARGE,
    "INSERT INTO device_productioncode (DeviceID, ProductionCode) SELECT seq + " FIRST
    ", CONCAT('P6', LPAD(seq, 7, "
    "'0')) " LARGE,
    "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) SELECT seq + " FIRST
    ", CONCAT('S8', LPAD(seq, 8, '0')), '0' " LARGE " WHERE " KIND " IN (0, 2)",
    "INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) SELECT seq + " FIRST ", '240101' " LARGE
    " WHERE seq = 0",
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) SELECT "
    "seq + 4 * @velkor_bench_span, seq + 4 * @velkor_bench_span, seq + " FIRST ", 'A', IF(" KIND
    " >= 2, 240102, 240101), 1 " LARGE,
    "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType) SELECT seq + 4.5 * "
    "@velkor_bench_span, "
    "4 * @velkor_bench_span + IF(seq > 400, seq - 200, IF(seq > 300, seq - 100, 0)), seq + 4 * @velkor_bench_span, "
    "'Z' " LARGE " WHERE seq > 0",
};

int Count(const QString& sql, const QVariantList& values = {}) {
    return QueryTestValue(sql, values).toInt();
}

}  // namespace

double GenerateHistory(int devices) {
    if (Count(QStringLiteral("SELECT COUNT(*) FROM device WHERE ID > ?"), {kDeviceOffset}) > 0) {
        return 0;  // generated by an earlier run of this server
    }
    QElapsedTimer timer;
    timer.start();
    const int demo = Count(QStringLiteral("SELECT COUNT(*) FROM device"));
    const int products = std::max(1, (devices - demo - kLargeComponents - 1) / kDevicesPerProduct);
    const int last = products * kDevicesPerProduct;
    // Codes hold seven digits and the sequence table ends at 10^7.
    const int span = last <= 1000000 ? 1000000 : 10000000;
    if (last >= span) {
        ADD_FAILURE() << "at most 10^7 devices can be generated";
        return 0;
    }
    ExecTestSql(QStringLiteral("SET @velkor_bench_span = ?"), {span});
    // In chunks of whole products (a membership row names its product's first device), each chunk one
    // statement per table and committed on its own.
    for (int from = 1; from <= last; from += kChunk) {
        const int to = std::min(last, from + kChunk - 1);
        for (const char* statement : kProducts) {
            ExecTestSql(QString::fromLatin1(statement), {from, to});
        }
        if (last > 1000000 && (to / 1000000 > (from - 1) / 1000000 || to == last)) {
            std::printf("  %d of %d devices generated, %.0f s\n", to, last, timer.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    ExecTestSql(QStringLiteral("SET @velkor_bench_large = ?"), {kDeviceOffset + last + 1});
    for (const char* statement : kLargeDevice) {
        ExecTestSql(QString::fromLatin1(statement));
    }
    ExecTestSql(
        QStringLiteral("ANALYZE TABLE device, device_assembly, device_productioncode, device_serialnumber, "
                       "device_productcode, device_productionordernumber, testpass, testitem"));
    return timer.elapsed() / 1000.0;
}

std::vector<Scan> AssemblyScans(const StockParts& stock, const std::function<QString(int)>& code,
                                const std::function<QString(int)>& serial, const QString& radioSerial) {
    return {
        {"", code(1), "", {}, {code(2)}},                 // main board, its second code asked for
        {"", code(3)},                                    // relay modules 1-3
        {"", code(4)},                                    //
        {"", code(5)},                                    //
        {"", code(6), "", {}, {serial(0)}},               // power supply and its serial
        {"", "", radioSerial},                            // radio module: supplier serial
        {"", stock.displayModuleCode},                    // a tested display module from stock
        {"", stock.keyboardCode},                         // the pre-assembled operating unit
        {"", code(8), "", {MsgAnswer::Ok}, {serial(1)}},  // the control unit: serial, confirmation
    };
}

int EnvInt(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok ? value : fallback;
}

QString LargeDeviceCode() {
    return QStringLiteral("P60000000");
}

qint64 FreshNumberBase() {
    return QueryTestValue(QStringLiteral("SELECT MAX(ID) + 1 FROM device")).toLongLong();
}

StockParts AddStockParts() {
    // Device IDs from the server's counter, so that workstations in other processes can add theirs meanwhile.
    const auto code = [](qint64 id) { return QStringLiteral("P7%1").arg(id, 7, 10, QLatin1Char('0')); };
    const auto device = [&](const char* artNr, const QVariant& suffix) {
        ExecTestSql(QStringLiteral("INSERT INTO device (ValidFlag) VALUES (1)"));
        const qint64 id = QueryTestValue(QStringLiteral("SELECT LAST_INSERT_ID()")).toLongLong();
        ExecTestSql(QStringLiteral("INSERT INTO device_productcode (DevID, ProductCode, Suffix) VALUES (?, ?, ?)"),
                    {id, QString::fromLatin1(artNr), suffix});
        ExecTestSql(QStringLiteral("INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (?, ?)"),
                    {id, code(id)});
        return id;
    };
    const auto ownAssembly = [](qint64 id) {
        ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType, "
                                   "MasterProdOrder, OKFlag) VALUES (NULL, ?, 'A', 240102, 1)"),
                    {id});
        ExecTestSql(QStringLiteral("UPDATE device_assembly SET AssemblyNum = ID WHERE ID = LAST_INSERT_ID()"));
        return QueryTestValue(QStringLiteral("SELECT LAST_INSERT_ID()"));
    };
    // The display module: free, its one test run passed.
    const qint64 am = device("AM-5400-A", 2);
    ExecTestSql(QStringLiteral("INSERT INTO testpass (DeviceID) VALUES (?)"), {am});
    ExecTestSql(QStringLiteral("INSERT INTO testitem (TestPassID, PassFailFlag) VALUES (LAST_INSERT_ID(), -1)"));
    // The operating unit, as order 240102 leaves it: serial, order, the keyboard and the display inside.
    const qint64 bg = device("BG-5600-B", QVariant());
    const qint64 tp = device("TP-5610-A", 2);
    const qint64 dp = device("DP-5620-A", 2);
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '0')"),
                {bg, QStringLiteral("S7%1").arg(bg, 8, 10, QLatin1Char('0'))});
    ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag) VALUES (?, ?, '1')"),
                {dp, QStringLiteral("DP79-%1").arg(dp)});
    ExecTestSql(QStringLiteral("INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) VALUES "
                               "(?, '240102')"),
                {bg});
    const QVariant bgAssNr = ownAssembly(bg);
    for (qint64 member : {tp, dp}) {
        const QVariant memberAssNr = ownAssembly(member);
        ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) VALUES "
                                   "(?, ?, 'Z')"),
                    {bgAssNr, memberAssNr});
    }
    return {code(am), code(tp), am};
}

}  // namespace bench
