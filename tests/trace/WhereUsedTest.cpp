#include <QTemporaryFile>
#include <functional>

#include "db/AssemblyDbClass.h"
#include "tests/trace/TraceTestSupport.h"

// velkor-trace where-used: every final product that contains or contained a code's device.

namespace {

// "root:state:path" per final product of every device of the results, e.g. "9030:removed:9030>Z>9038>D0>9039";
// a conversion's placeholder at the top as "P(9020)" (the device that took its place).
QStringList Usages(const QJsonArray& results) {
    QStringList usages;
    for (const QJsonValue& result : results) {
        for (const QJsonValue& value : result.toObject().value(QStringLiteral("usedIn")).toArray()) {
            const QJsonObject usage = value.toObject();
            const QJsonObject root = usage.value(QStringLiteral("root")).toObject();
            const int placeholderOf = root.value(QStringLiteral("placeholderOf")).toInt();
            const QString rootId = QString::number(root.value(QStringLiteral("device")).toInt());
            QStringList path;
            for (const QJsonValue& step : usage.value(QStringLiteral("path")).toArray()) {
                const QString link = step.toObject().value(QStringLiteral("link")).toString();
                if (!link.isEmpty()) {
                    path.append(link);
                }
                path.append(QString::number(step.toObject().value(QStringLiteral("device")).toInt()));
            }
            QString text =
                QStringLiteral("%1:%2:%3")
                    .arg(rootId, usage.value(QStringLiteral("state")).toString(), path.join(QLatin1Char('>')));
            if (placeholderOf != 0) {
                text.replace(rootId, QStringLiteral("P(%1)").arg(placeholderOf));
            }
            usages.append(text);
        }
    }
    return usages;
}

// The conversion of a free device into a device of the new order's article, statement by statement as the
// workstation's drop makes it: a placeholder of the old article takes over the old assembly number with its
// components, the device takes over the place of the new order's empty device, and the journal names all three.
void Convert(AssemblyDbClass& db, qint32 devId, const QString& oldArticle, const QString& newArticle,
             const QString& order) {
    QString article = newArticle;
    const qint32 target = db.CreateDevice().toInt();
    db.InsertArtNrWithDevID(article, target, 0);
    db.CreateAssNrFromDivID(target, order.toInt());
    AssemblyDbClass::JournalEntry journal(db, QStringLiteral("conversion"), order);
    db.Begin();
    const qint32 placeholder = db.CreateDevice().toInt();
    article = oldArticle;
    db.InsertArtNrWithDevID(article, placeholder, 0);
    db.UpdateDevIDinAssembly(devId, placeholder, order.toInt());
    db.UpdateArtNrWithDevID(newArticle, devId, 0);
    db.SetOKFlagInAssembly(devId, false);
    db.UpdateDevIDinAssembly(target, devId, order.toInt());
    db.InsertPaNrWithDevID(order, devId);
    journal.SetDetail(QStringLiteral("Gerät %1: Artikel %2 -> %3, PA %4; nimmt den Platz von Gerät %5 ein; alter Platz "
                                     "-> Platzhalter Gerät %6 (%2)")
                          .arg(devId)
                          .arg(oldArticle, newArticle, order)
                          .arg(target)
                          .arg(placeholder));
    db.Commit();
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
        EXPECT_EQ(row.size(), 15) << row.join(QLatin1Char(';')).toStdString();  // unknown codes too
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
        int exitCode = 0;
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
        {"the supplier serial of 9036 also recorded on 9102 in another unit: both, with a warning",
         [](AssemblyDbClass&) {
             ExecTestSql(QStringLiteral("INSERT INTO device (ID, ValidFlag) VALUES (9100, 1), (9102, 1)"));
             ExecTestSql(
                 QStringLiteral("INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, "
                                "CreationDate) VALUES (9102, 'FM24-00731', '1', '2024-11-05 08:00:00')"));
             ExecTestSql(
                 QStringLiteral("INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType) "
                                "VALUES (9700, 9700, 9100, 'A'), (9702, 9702, 9102, 'A'), "
                                "(9703, 9700, 9702, 'Z')"));
         },
         "FM24-00731",
         {"9030:built-in:9030>Z>9036", "9100:built-in:9100>Z>9102"},
         4},
        {"the operating unit converted: its components stay with the placeholder, which names it",
         [](AssemblyDbClass& db) {
             Convert(db, 9020, QStringLiteral("BG-5600-B"), QStringLiteral("NT-5200-A"), QStringLiteral("240104"));
         },
         "P24100021",
         {"P(9020):built-in:P(9020)>Z>9021"}},
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
        EXPECT_EQ(run.exitCode, c.exitCode);
        QStringList usages = Usages(run.Json().value(QStringLiteral("results")).toArray());
        usages.sort();
        EXPECT_EQ(usages, c.usages);
        EXPECT_EQ(run.Json().value(QStringLiteral("warnings")).toArray().isEmpty(), c.exitCode != 4);
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
