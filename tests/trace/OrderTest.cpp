#include "tests/trace/TraceTestSupport.h"

// velkor-trace order: the final products of an order, complete or not by the workstation's counts, what is
// missing in the incomplete ones, and the sub-assemblies built under another order.

namespace {

struct Device {
    int id;
    const char* article;
    QStringList codes;
    QStringList serials;
    const char* order;  // its order row and the order of its assembly number; empty: none
};

// A device with its own assembly number (device ID + 1000) and what is recorded on it.
void AddDevice(const Device& device) {
    ExecTestSql(QStringLiteral("INSERT INTO device (ID, ValidFlag) VALUES (?, 1)"), {device.id});
    ExecTestSql(QStringLiteral("INSERT INTO device_productcode (DevID, ProductCode, CreationDate) VALUES "
                               "(?, ?, '2024-11-04 08:00:00')"),
                {device.id, QString::fromLatin1(device.article)});
    for (const QString& code : device.codes) {
        ExecTestSql(QStringLiteral("INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES "
                                   "(?, ?, '2024-11-04 08:00:00')"),
                    {device.id, code});
    }
    for (const QString& serial : device.serials) {
        ExecTestSql(QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) "
                                   "VALUES (?, ?, '0', '2024-11-04 08:00:00')"),
                    {device.id, serial});
    }
    const QString order = QString::fromLatin1(device.order);
    if (!order.isEmpty()) {
        ExecTestSql(QStringLiteral("INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber, "
                                   "CreationDate) VALUES (?, ?, '2024-11-04 08:00:00')"),
                    {device.id, order});
    }
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, "
                               "MasterProdOrder, OKFlag) VALUES (?, ?, ?, 'A', ?, 0)"),
                {device.id + 1000, device.id + 1000, device.id, order.isEmpty() ? QVariant() : QVariant(order)});
}

// Beside the complete demo product 9030 (with the operating unit 9038 of order 240102 in it): product 9070 with a
// main board that lacks a code and one relay module, its latest test failed; product 9080, never started.
void AddOrderProducts() {
    const Device devices[] = {
        {9070, "SG-5000-A", {"P24100070"}, {"240070"}, "240101"},
        {9071, "LP-5100-A", {"P24100071"}, {}, "240101"},
        {9072, "RM-5120-A", {"P24100072"}, {}, "240101"},
        {9080, "SG-5000-A", {}, {}, "240101"},
    };
    for (const Device& device : devices) {
        AddDevice(device);
    }
    for (int member : {10071, 10072}) {
        ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                                   "VALUES (10070, ?, 'Z')"),
                    {member});
    }
    ExecTestSql(
        QStringLiteral("INSERT INTO testpass (ID, DeviceID, CreationDate) VALUES (9170, 9070, "
                       "'2024-11-04 09:00:00')"));
    ExecTestSql(QStringLiteral("INSERT INTO testitem (TestPassID, PassFailFlag) VALUES (9170, -1), (9170, 0)"));
}

// "LP-5100-A 1=9071:incomplete", "RM-5120-A 2=missing": the positions of a product of the JSON output.
QStringList Positions(const QJsonObject& product) {
    QStringList positions;
    for (const QJsonValue& value : product.value(QStringLiteral("positions")).toArray()) {
        const QJsonObject position = value.toObject();
        const QJsonValue device = position.value(QStringLiteral("device"));
        positions.append(QStringLiteral("%1 %2=%3")
                             .arg(position.value(QStringLiteral("article")).toString())
                             .arg(position.value(QStringLiteral("piece")).toInt())
                             .arg(device.isNull() ? QStringLiteral("missing")
                                                  : QStringLiteral("%1:%2")
                                                        .arg(device.toObject().value(QStringLiteral("device")).toInt())
                                                        .arg(position.value(QStringLiteral("state")).toString())));
    }
    return positions;
}

const QStringList kMissingIn9070{"LP-5100-A 1=9071:incomplete", "RM-5120-A 1=9072:complete", "RM-5120-A 2=missing",
                                 "RM-5120-A 3=missing",         "NT-5200-A 1=missing",       "FM-5300-A 1=missing",
                                 "AM-5400-A 1=missing",         "BG-5600-B 1=missing"};

const QStringList kNothingIn9080{"LP-5100-A 1=missing", "RM-5120-A 1=missing", "RM-5120-A 2=missing",
                                 "RM-5120-A 3=missing", "NT-5200-A 1=missing", "FM-5300-A 1=missing",
                                 "AM-5400-A 1=missing", "BG-5600-B 1=missing"};

class OrderTest : public TraceTest {
protected:
    void SetUp() override {
        TraceTest::SetUp();
        AddOrderProducts();
    }
};

}  // namespace

TEST_F(OrderTest, JsonListsEveryFinalProductWithItsStateAndWhatIsMissing) {
    const TraceRun run = RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject json = run.Json();
    EXPECT_EQ(json.value(QStringLiteral("erp")).toObject().value(QStringLiteral("article")).toString(),
              QStringLiteral("SG-5000-A"));
    EXPECT_EQ(json.value(QStringLiteral("positions")).toArray().size(), 8);  // GS and WP have nothing to capture

    struct Case {
        int device;
        bool complete;
        const char* state;  // of the product's own counts
        const char* test;
        QStringList subAssemblies;
        QStringList positions;  // listed for an incomplete product only
        const char* recorded;   // production codes, serials, external serials
        const char* worstTest;  // the worst latest test in the product, and the device that has it
    };
    const Case cases[] = {
        {9030, true, "complete", "untested", {"9038:240102"}, {}, "11/1 1/1 0/0", "passed:9037"},
        {9070, false, "complete", "failed", {}, kMissingIn9070, "3/1 1/1 0/0", "failed:9070"},
        {9080, false, "empty", "untested", {}, kNothingIn9080, "0/1 0/1 0/0", "untested:9080"},
    };
    const QJsonArray products = json.value(QStringLiteral("products")).toArray();
    ASSERT_EQ(products.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.device);
        const QJsonObject product = products.at(i).toObject();
        EXPECT_EQ(product.value(QStringLiteral("device")).toInt(), c.device);
        EXPECT_EQ(product.value(QStringLiteral("complete")).toBool(), c.complete);
        EXPECT_EQ(product.value(QStringLiteral("state")).toString(), QLatin1String(c.state));
        EXPECT_EQ(product.value(QStringLiteral("test")).toString(), QLatin1String(c.test));
        QStringList subAssemblies;
        for (const QJsonValue& sub : product.value(QStringLiteral("subAssemblies")).toArray()) {
            subAssemblies.append(QStringLiteral("%1:%2")
                                     .arg(sub.toObject().value(QStringLiteral("device")).toInt())
                                     .arg(sub.toObject().value(QStringLiteral("order")).toString()));
        }
        EXPECT_EQ(subAssemblies, c.subAssemblies);
        EXPECT_EQ(Positions(product), c.positions);
        const QJsonObject recorded = product.value(QStringLiteral("recorded")).toObject();
        const QJsonObject expected = product.value(QStringLiteral("expected")).toObject();
        QStringList counts;
        for (const char* key : {"productionCodes", "serialNumbers", "externalSerialNumbers"}) {
            counts.append(QStringLiteral("%1/%2")
                              .arg(recorded.value(QLatin1String(key)).toInt())
                              .arg(expected.value(QLatin1String(key)).toInt()));
        }
        EXPECT_EQ(counts.join(QLatin1Char(' ')), QLatin1String(c.recorded));
        const QJsonObject worst = product.value(QStringLiteral("worstTest")).toObject();
        EXPECT_EQ(QStringLiteral("%1:%2")
                      .arg(worst.value(QStringLiteral("test")).toString())
                      .arg(worst.value(QStringLiteral("device")).toInt()),
                  QLatin1String(c.worstTest));
    }
    EXPECT_EQ(json.value(QStringLiteral("totals")).toObject(),
              (QJsonObject{
                  {"products", 3}, {"damaged", 0}, {"complete", 1}, {"incomplete", 2}, {"tested", 1}, {"failed", 1}}));
}

TEST_F(OrderTest, TextAndCsvSayTheSame) {
    const QStringList text =
        RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101")}).out.split(QLatin1Char('\n'));
    for (const char* line : {
             "Erwartete Positionen je Endprodukt: LP-5100-A, RM-5120-A ×3, NT-5200-A, FM-5300-A, AM-5400-A, BG-5600-B",
             "SG-5000-A (Gerät 9030), Produktionscode P24100030, Seriennummer 240001, vollständig, Test: ungeprüft",
             "  Baugruppe aus PA 240102: BG-5600-B (Gerät 9038), Produktionscode P24100038, Seriennummer 310038",
             "SG-5000-A (Gerät 9070), Produktionscode P24100070, Seriennummer 240070, unvollständig, Test: nicht "
             "bestanden",
             "  LP-5100-A Stück 1: LP-5100-A (Gerät 9071), Produktionscode P24100071, Produktionscodes 1/2: "
             "unvollständig",
             "  RM-5120-A Stück 2: kein Gerät (erwartet: Produktionscodes 1)",
             "  NT-5200-A Stück 1: kein Gerät (erwartet: Produktionscodes 1, Seriennummern 1)",
             "  Endprodukt selbst: Produktionscodes 0/1, Seriennummern 0/1: nichts erfasst",
             "  Schlechtester letzter Test darin: bestanden (AM-5400-A (Gerät 9037))",
             "Summe: 3 Endprodukte erfasst, 1 vollständig, 2 unvollständig; 1 getestet, davon 1 nicht bestanden",
         }) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    }

    // CSV: "product:row:article piece:device:state" per row.
    const TraceRun csv = RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101"), QStringLiteral("--csv")});
    QStringList rows;
    for (const auto& record : CsvRecords(csv.out)) {
        rows.append(QStringLiteral("%1:%2:%3 %4:%5:%6")
                        .arg(record[QStringLiteral("product")], record[QStringLiteral("row")],
                             record[QStringLiteral("article")], record[QStringLiteral("piece")],
                             record[QStringLiteral("device")], record[QStringLiteral("state")]));
        EXPECT_EQ(record[QStringLiteral("order")], QStringLiteral("240101"));
    }
    for (const QStringList& fields : ParseCsv(csv.out)) {
        EXPECT_EQ(fields.size(), 25);
    }
    EXPECT_EQ(rows.mid(0, 5),
              (QStringList{"9030:product:SG-5000-A :9030:complete", "9030:sub-assembly:BG-5600-B :9038:complete",
                           "9070:product:SG-5000-A :9070:complete", "9070:position:LP-5100-A 1:9071:incomplete",
                           "9070:position:RM-5120-A 1:9072:complete"}));
    EXPECT_EQ(rows.filter(QStringLiteral(":missing")).size(), 6 + 8);
    EXPECT_EQ(rows.size(), 2 + 9 + 9);
}

TEST_F(OrderTest, AnOrderWhoseErpRowsAreGoneIsReportedFromTheDevices) {
    ExecTestSql(QStringLiteral("DELETE FROM productionorder_khk WHERE ProductionOrderNumber = '240101'"));
    ExecTestSql(QStringLiteral("DELETE FROM productionorder_hierarchy_khk WHERE ProductionOrderNumber = '240101'"));
    const TraceRun run = RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101"), QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 0);
    const QJsonObject json = run.Json();
    EXPECT_EQ(json.value(QStringLiteral("positionsKnown")), QJsonValue(false));
    EXPECT_EQ(json.value(QStringLiteral("erp")), QJsonValue());
    const QJsonArray products = json.value(QStringLiteral("products")).toArray();
    ASSERT_EQ(products.size(), 3);
    // Without positions only the devices count: 9070's main board still lacks a code.
    EXPECT_EQ(products.at(0).toObject().value(QStringLiteral("complete")), QJsonValue(true));
    EXPECT_EQ(products.at(1).toObject().value(QStringLiteral("complete")), QJsonValue(false));
    EXPECT_EQ(products.at(1).toObject().value(QStringLiteral("positions")).toArray().size(), 0);
    const QJsonArray below = products.at(1).toObject().value(QStringLiteral("incompleteBelow")).toArray();
    ASSERT_EQ(below.size(), 1);
    EXPECT_EQ(below.at(0).toObject().value(QStringLiteral("device")).toInt(), 9071);
    EXPECT_EQ(products.at(1).toObject().value(QStringLiteral("unexpected")).toArray().size(), 0);

    const QString text = RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101")}).out;
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Produktionsauftrag 240101: nicht in der ERP-Kopie der Aufträge\n"
                                       "Die erwarteten Positionen sind nicht bekannt")))
        << text.toStdString();
}
