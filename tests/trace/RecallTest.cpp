#include <QFile>
#include <QTemporaryDir>

#include "db/AssemblyDbClass.h"
#include "tests/trace/TraceTestSupport.h"

// velkor-trace recall and history: the final products affected by components chosen by criteria, and the journal.

namespace {

// Beside the demo product 9030 (radio module 9036 of supplier 70455, recorded 2024-10-07): two control units of
// order 240111, whose radio modules come from supplier 70999; 9201 recorded in January 2025 and built into 9200,
// 9211 recorded in February and taken out of 9210 again in March. Their journal as the workstation writes it, its
// times, workstations and users set as they were on the day.
void AddRecallFixture() {
    ExecTestSql(
        QStringLiteral("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) VALUES "
                       "('240111', 'SG-5000-A01', 'Steuergerät SG-5000, zweiter Lieferant')"));
    ExecTestSql(
        QStringLiteral("INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, "
                       "SubCount, SubManufacturer) VALUES ('240111', 'FM-5300-A', 1, '70999')"));
    ExecTestSql(QStringLiteral("INSERT INTO device (ID, ValidFlag) VALUES (9200, 1), (9201, 1), (9210, 1), (9211, 1)"));
    ExecTestSql(
        QStringLiteral("INSERT INTO device_productcode (DevID, ProductCode, CreationDate) VALUES "
                       "(9200, 'SG-5000-A', '2025-01-10 08:00:00'), (9201, 'FM-5300-A', '2025-01-10 08:01:00'), "
                       "(9210, 'SG-5000-A', '2025-02-10 08:00:00'), (9211, 'FM-5300-A', '2025-02-10 08:01:00')"));
    ExecTestSql(
        QStringLiteral("INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES "
                       "(9200, 'P24100200', '2025-01-10 08:00:00'), (9210, 'P24100210', '2025-02-10 08:00:00')"));
    ExecTestSql(QStringLiteral(
        "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) VALUES "
        "(9200, '240200', '0', '2025-01-10 08:05:00'), (9201, 'FM25-00001', '1', '2025-01-10 08:01:00'), "
        "(9210, '240210', '0', '2025-02-10 08:05:00'), (9211, 'FM25-00002', '1', '2025-02-10 08:01:00')"));
    ExecTestSql(
        QStringLiteral("INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber, "
                       "CreationDate) VALUES (9200, '240111', '2025-01-10 08:00:00'), "
                       "(9210, '240111', '2025-02-10 08:00:00')"));
    ExecTestSql(QStringLiteral(
        "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) VALUES "
        "(9800, 9800, 9200, 'A', 240111, 0), (9801, 9801, 9201, 'A', 240111, 1), (9810, 9810, 9210, 'A', 240111, 0), "
        "(9811, 9811, 9211, 'A', 240111, 1), (9802, 9800, 9801, 'Z', NULL, 0), (9812, 9810, 9811, 'D0', NULL, 0)"));
    const struct {
        const char* id;
        const char* operation;
        const char* time;
        const char* workstation;
        const char* user;
        QList<qint32> devices;
    } journal[] = {
        {"00000000-0000-0000-0000-000000009201", "scan", "2025-01-10 08:01:00", "WS-07", "mueller", {9200, 9201}},
        {"00000000-0000-0000-0000-000000009211", "scan", "2025-02-10 08:01:00", "WS-08", "schmidt", {9210, 9211}},
        {"00000000-0000-0000-0000-000000009212", "removal", "2025-03-01 08:00:00", "WS-QS", "pruefer", {9210, 9211}},
    };
    for (const auto& entry : journal) {
        const QString id = QString::fromLatin1(entry.id);
        for (const auto& statement : AssemblyDbClass::JournalStatements(
                 id, QString::fromLatin1(entry.operation), QStringLiteral("240111"), QString(), entry.devices)) {
            ExecTestSql(statement.sql, statement.values);
        }
        ExecTestSql(QStringLiteral("UPDATE velkor_journal SET CreatedAt = ?, Workstation = ?, OsUser = ? "
                                   "WHERE OperationID = ?"),
                    {QString::fromLatin1(entry.time), QString::fromLatin1(entry.workstation),
                     QString::fromLatin1(entry.user), id});
    }
}

class RecallTest : public TraceTest {
protected:
    void SetUp() override {
        TraceTest::SetUp();
        AddRecallFixture();
    }
};

}  // namespace

TEST_F(RecallTest, EachAffectedFinalProductOnceWithItsComponents) {
    struct Case {
        QStringList criteria;
        QStringList products;  // "product:state:components:component states"
    };
    const QString fm9030 = QStringLiteral("9030:built-in:9036:built-in");
    const QString fm9200 = QStringLiteral("9200:built-in:9201:built-in");
    const QString fm9210 = QStringLiteral("9210:removed:9211:removed");
    const Case cases[] = {
        {{"--article", "FM-5300-A"}, {fm9030, fm9200, fm9210}},
        {{"--article", "fm-53?0-*"}, {fm9030, fm9200, fm9210}},  // a pattern, in the column's comparison
        {{"--supplier", "70999"}, {fm9200, fm9210}},
        {{"--supplier", "70455"}, {fm9030}},
        {{"--article", "FM*", "--recorded", "2025-01-01..2025-01-31"}, {fm9200}},
        {{"--recorded", "..2024-12-31", "--article", "FM*"}, {fm9030}},
        {{"--codes", "FM25-00001..FM25-00009"}, {fm9200, fm9210}},
        {{"--codes", "P24100200..P24100200"}, {"9200:built-in:9200:itself"}},  // a final product itself
        {{"--scanned", "2025-02-01..", "--workstation", "WS-08", "--article", "FM*"}, {fm9210}},
        {{"--user", "mueller", "--article", "FM*"}, {fm9200}},
        {{"--order", "240111", "--article", "FM-5300-A"}, {fm9200, fm9210}},  // taken out of a product of the order
        {{"--order-recorded", "2025-02-01..2025-02-28"}, {"9210:built-in:9210:itself"}},
        {{"--article", "XY-0000-A"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.criteria.join(QLatin1Char(' ')).toStdString());
        const TraceRun run =
            RunTraceCommand(QStringList{QStringLiteral("recall"), QStringLiteral("--csv")} + c.criteria);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QStringList products;
        for (const auto& record : CsvRecords(run.out)) {
            products.append(QStringList{record[QStringLiteral("product")], record[QStringLiteral("state")],
                                        record[QStringLiteral("components")],
                                        record[QStringLiteral("component_states")]}
                                .join(QLatin1Char(':')));
        }
        EXPECT_EQ(products, c.products);
    }
}

TEST_F(RecallTest, TextJsonAndSpreadsheetTellTheSame) {
    QTemporaryDir folder;
    const QString xlsx = folder.filePath(QStringLiteral("rueckruf.xlsx"));
    const QStringList recall{QStringLiteral("recall"), QStringLiteral("--article"), QStringLiteral("FM-5300-A")};
    const TraceRun text = RunTraceCommand(recall + QStringList{QStringLiteral("--xlsx"), xlsx});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    for (const char* line : {
             "Rückruf: Artikel FM-5300-A",
             "3 Komponenten ausgewählt, davon 0 in keinem Gerät verbaut; 3 betroffene Endprodukte, davon 2 mit noch "
             "verbauter Komponente",
             "SG-5000-A (Gerät 9210), PA 240111, Produktionscode P24100210, Seriennummer 240210, Test: ungeprüft: "
             "FM-5300-A (Gerät 9211) ausgebaut am 2025-03-01 08:00:00",
         }) {
        EXPECT_TRUE(text.out.split(QLatin1Char('\n')).contains(QString::fromUtf8(line))) << text.out.toStdString();
    }
    QFile sheet(xlsx);
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    EXPECT_TRUE(sheet.read(2) == "PK");  // a zip container, as every workbook

    const QJsonObject json = RunTraceCommand(recall + QStringList{QStringLiteral("--json")}).Json();
    EXPECT_EQ(json.value(QStringLiteral("counts")).toObject(),
              (QJsonObject{{"components", 3}, {"notBuiltIn", 0}, {"products", 3}, {"productsBuiltIn", 2}}));

    // A spreadsheet that cannot be written is named after the answer.
    const TraceRun unwritable = RunTraceCommand(recall + QStringList{QStringLiteral("--xlsx"), "/nonexistent/r.xlsx"});
    EXPECT_EQ(unwritable.exitCode, 5);
    EXPECT_TRUE(unwritable.out.startsWith(QStringLiteral("Rückruf: ")));
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("/nonexistent/r.xlsx kann nicht geschrieben werden")));
}

TEST_F(RecallTest, HistoryAndShowTellWhoDidWhatWhenAndWhere) {
    struct Case {
        QStringList arguments;
        const char* line;
    };
    const Case cases[] = {
        {{"history", "FM25-00002"}, "Journal von FM25-00002: FM-5300-A (Gerät 9211), Fremdseriennummer FM25-00002"},
        {{"history", "FM25-00002"}, "  2025-02-10 08:01:00 erfasst an WS-08 von schmidt, PA 240111"},
        {{"history", "FM25-00002"}, "  2025-03-01 08:00:00 ausgebaut an WS-QS von pruefer, PA 240111"},
        {{"history", "P24100030"}, "  keine Einträge (vor Einführung des Journals erfasst)"},
        {{"show", "P24100200"}, "      · Journal: 2025-01-10 08:01:00 erfasst an WS-07 von mueller, PA 240111"},
        {{"show", "P24100200"},
         "SG-5000-A (Gerät 9200), PA 240111, Produktionscode P24100200, Seriennummer 240200, "
         "gespeichert unvollständig, gezählt vollständig, Test: ungeprüft, << P24100200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const TraceRun run = RunTraceCommand(c.arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.split(QLatin1Char('\n')).contains(QString::fromUtf8(c.line))) << run.out.toStdString();
    }
    const QJsonArray journal =
        RunTraceCommand({QStringLiteral("history"), QStringLiteral("FM25-00002"), QStringLiteral("--json")})
            .Json()
            .value(QStringLiteral("results"))
            .toArray()
            .at(0)
            .toObject()
            .value(QStringLiteral("journal"))
            .toArray();
    ASSERT_EQ(journal.size(), 2);
    EXPECT_EQ(journal.at(1).toObject().value(QStringLiteral("operation")).toString(), QStringLiteral("removal"));
}
