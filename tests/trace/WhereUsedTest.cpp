#include <QTemporaryFile>
#include <functional>

#include "db/AssemblyDbClass.h"
#include "tests/trace/TraceTestSupport.h"

// velkor-trace where-used: every final product that contains or contained a code's device.

namespace {

// "root:state:path" per final product, e.g. "9030:removed:9030>Z>9038>D0>9039".
QStringList Usages(const QJsonObject& result) {
    QStringList usages;
    for (const QJsonValue& value : result.value(QStringLiteral("usedIn")).toArray()) {
        const QJsonObject usage = value.toObject();
        QStringList path;
        for (const QJsonValue& step : usage.value(QStringLiteral("path")).toArray()) {
            const QString link = step.toObject().value(QStringLiteral("link")).toString();
            if (!link.isEmpty()) {
                path.append(link);
            }
            path.append(QString::number(step.toObject().value(QStringLiteral("device")).toInt()));
        }
        usages.append(QStringLiteral("%1:%2:%3")
                          .arg(usage.value(QStringLiteral("root")).toObject().value(QStringLiteral("device")).toInt())
                          .arg(usage.value(QStringLiteral("state")).toString(), path.join(QLatin1Char('>'))));
    }
    return usages;
}

}  // namespace

TEST_F(TraceTest, WhereUsedListsEveryCodeWithTheFinalProductsThatContainIt) {
    struct Case {
        const char* code;
        const char* matchedAs;
        const char* state;
        const char* rootDevice;
        const char* path;
    };
    const Case cases[] = {
        {"P24100039", "production-code", "built-in", "9030", "9030>9038>9039"},  // two levels deep
        {"DP77-310057", "external-serial-number", "built-in", "9030", "9030>9038>9040"},
        {"310038", "serial-number", "built-in", "9030", "9030>9038"},
        {"P24100021", "production-code", "built-in", "9020", "9020>9021"},  // in the free sub-assembly
        {"P24100001", "production-code", "not-built-in", "", ""},
        {"240001", "serial-number", "not-built-in", "", ""},  // the final product itself
        {"P99999999", "unknown", "unknown", "", ""},
        {"FM24-0073", "unknown", "unknown", "", ""},  // only part of a recorded serial
    };
    QStringList codes{QStringLiteral("where-used"), QStringLiteral("--csv")};
    for (const Case& c : cases) {
        codes.append(QString::fromLatin1(c.code));
    }
    const TraceRun run = RunTraceCommand(codes);
    EXPECT_EQ(run.exitCode, 1);  // some codes are unknown
    for (const QStringList& row : ParseCsv(run.out)) {
        EXPECT_EQ(row.size(), 13) << row.join(QLatin1Char(';')).toStdString();  // unknown codes too
    }
    const auto records = CsvRecords(run.out);
    ASSERT_EQ(records.size(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < records.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.code);
        const auto& record = records.at(i);
        EXPECT_EQ(record[QStringLiteral("code")], QLatin1String(c.code));
        EXPECT_EQ(record[QStringLiteral("matched_as")], QLatin1String(c.matchedAs));
        EXPECT_EQ(record[QStringLiteral("state")], QLatin1String(c.state));
        EXPECT_EQ(record[QStringLiteral("root_device")], QLatin1String(c.rootDevice));
        EXPECT_EQ(record[QStringLiteral("path")], QLatin1String(c.path));
    }
    // The final product's identity comes with each row.
    EXPECT_EQ(QStringList({records[0][QStringLiteral("root_article")], records[0][QStringLiteral("root_order")],
                           records[0][QStringLiteral("root_production_code")],
                           records[0][QStringLiteral("root_serial_number")]}),
              QStringList({"SG-5000-A", "240101", "P24100030", "240001"}));
}

TEST_F(TraceTest, WhereUsedTellsBuiltInFromRemoved) {
    struct Case {
        const char* name;
        std::function<void(AssemblyDbClass&)> rework;
        const char* code;
        QStringList usages;
    };
    const Case cases[] = {
        {"relay module moved from 9030 into 9020",
         [](AssemblyDbClass& db) {
             db.DeleteAssemblyWithDevID(9508);
             db.AddChildToParentAssembly(9508, 9501);
         },
         "P24100035",
         {"9020:built-in:9020>Z>9034", "9030:removed:9030>D0>9034"}},
        {"operating unit taken out of 9030 with its display",
         [](AssemblyDbClass& db) { db.DeleteAssemblyWithDevID(9512); },
         "DP77-310057",
         {"9030:removed:9030>D0>9038>Z>9040", "9038:built-in:9038>Z>9040"}},
        {"removed twice, built in again",
         [](AssemblyDbClass& db) {
             db.DeleteAssemblyWithDevID(9508);
             db.AddChildToParentAssembly(9508, 9504);
             db.DeleteAssemblyWithDevID(9508);
         },
         "P24100035",
         {"9030:removed:9030>D0>9034", "9030:removed:9030>D1>9034"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestDatabase();
        {
            AssemblyDbClass db;
            c.rework(db);
        }
        const TraceRun run =
            RunTraceCommand({QStringLiteral("where-used"), QString::fromLatin1(c.code), QStringLiteral("--json")});
        EXPECT_EQ(run.exitCode, 0);
        QStringList usages = Usages(run.Json().value(QStringLiteral("results")).toArray().at(0).toObject());
        usages.sort();
        EXPECT_EQ(usages, c.usages);
        EXPECT_EQ(RunTraceCommand({QStringLiteral("where-used"), QString::fromLatin1(c.code)})
                      .out.count(QStringLiteral(": ausgebaut")),
                  static_cast<int>(c.usages.filter(QStringLiteral("removed")).size()));
    }
}

TEST_F(TraceTest, FromFileTakesOneCodeALine) {
    struct Case {
        const char* name;
        QByteArray content;
        QStringList codes;
        int exitCode;
    };
    const Case cases[] = {
        {"plain lines", "P24100039\nP24100021\n", {"P24100039", "P24100021"}, 0},
        {"windows lines, blanks, empty lines",
         "\xEF\xBB\xBF  P24100039 \r\n\r\n\tDP77-310057\r\n",
         {"P24100039", "DP77-310057"},
         0},
        {"repeated and unknown codes", "P24100039\nP99999999\nP24100039", {"P24100039", "P99999999"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        file.write(c.content);
        file.close();
        const TraceRun run = RunTraceCommand(
            {QStringLiteral("where-used"), QStringLiteral("--from"), file.fileName(), QStringLiteral("--json")});
        EXPECT_EQ(run.exitCode, c.exitCode);
        QStringList codes;
        for (const QJsonValue& result : run.Json().value(QStringLiteral("results")).toArray()) {
            codes.append(result.toObject().value(QStringLiteral("code")).toString());
        }
        EXPECT_EQ(codes, c.codes);
    }
}
