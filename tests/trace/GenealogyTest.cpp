#include <QRegularExpression>
#include <functional>

#include "db/AssemblyDbClass.h"
#include "tests/trace/TraceTestSupport.h"

// velkor-trace show: the final product of a code's device and everything below it.

namespace {

// "9030(9031,9038(9039,9040))": the devices of a JSON tree with their components.
QString Shape(const QJsonObject& node) {
    QString shape = QString::number(node.value(QStringLiteral("device")).toInt());
    QStringList components;
    for (const QJsonValue& child : node.value(QStringLiteral("components")).toArray()) {
        components.append(Shape(child.toObject()));
    }
    return components.isEmpty() ? shape
                                : shape + QLatin1Char('(') + components.join(QLatin1Char(',')) + QLatin1Char(')');
}

QJsonObject FindNode(const QJsonObject& node, int devId) {
    if (node.value(QStringLiteral("device")).toInt() == devId) {
        return node;
    }
    for (const QJsonValue& child : node.value(QStringLiteral("components")).toArray()) {
        const QJsonObject found = FindNode(child.toObject(), devId);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

// The devices marked as the one the code belongs to.
QList<int> QueriedDevices(const QJsonObject& node) {
    QList<int> devices;
    if (node.value(QStringLiteral("queried")).toBool()) {
        devices.append(node.value(QStringLiteral("device")).toInt());
    }
    for (const QJsonValue& child : node.value(QStringLiteral("components")).toArray()) {
        devices += QueriedDevices(child.toObject());
    }
    return devices;
}

const QString kDemoProduct = QStringLiteral("9030(9031,9032,9033,9034,9035,9036,9037,9038(9039,9040))");

}  // namespace

TEST_F(TraceTest, ShowFindsTheFinalProductFromAnyCodeOfAnyDeviceInIt) {
    struct Case {
        const char* code;
        const char* matchedAs;
        int device;
    };
    const Case cases[] = {
        {"P24100030", "production-code", 9030},  // the final product's own code
        {"240001", "serial-number", 9030},       // its serial number
        {"S4E5F6A7B", "serial-number", 9035},    // a component's serial number
        {"P24100039", "production-code", 9039},  // two levels deep, in the pre-assembled sub-assembly
        {"DP77-310057", "external-serial-number", 9040},
        {"FM24-00731", "external-serial-number", 9036},  // a component with nothing but a supplier serial
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const TraceRun run =
            RunTraceCommand({QStringLiteral("show"), QString::fromLatin1(c.code), QStringLiteral("--json")});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, QString());
        const QJsonObject json = run.Json();
        EXPECT_EQ(json.value(QStringLiteral("matchedAs")).toString(), QLatin1String(c.matchedAs));
        EXPECT_EQ(json.value(QStringLiteral("device")).toInt(), c.device);
        const QJsonObject tree = json.value(QStringLiteral("tree")).toObject();
        EXPECT_EQ(Shape(tree), kDemoProduct);
        EXPECT_EQ(QueriedDevices(tree), QList<int>{c.device});
    }
}

TEST_F(TraceTest, ShowGivesEachDeviceItsIdentityOrderCompletenessAndTest) {
    struct Case {
        int device;
        const char* article;
        QStringList codes;
        QStringList serials;
        QStringList external;
        const char* order;
        const char* test;
    };
    const Case cases[] = {
        {9030, "SG-5000-A", {"P24100030"}, {"240001"}, {}, "240101", "untested"},
        {9031, "LP-5100-A", {"P24100032", "P24100031"}, {}, {}, "240101", "untested"},  // newest first
        {9036, "FM-5300-A", {}, {}, {"FM24-00731"}, "240101", "untested"},
        {9037, "AM-5400-A", {"P24100037"}, {}, {}, "240101", "passed"},
        {9038, "BG-5600-B", {"P24100038"}, {"310038"}, {}, "240102", "untested"},  // built under its own order
        {9040, "DP-5620-A", {"P24100040"}, {}, {"DP77-310057"}, "240102", "untested"},
    };
    const QJsonObject tree =
        RunTraceCommand({QStringLiteral("show"), QStringLiteral("P24100030"), QStringLiteral("--json")})
            .Json()
            .value(QStringLiteral("tree"))
            .toObject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        const QJsonObject node = FindNode(tree, c.device);
        EXPECT_EQ(node.value(QStringLiteral("article")).toString(), QLatin1String(c.article));
        EXPECT_EQ(Strings(node.value(QStringLiteral("productionCodes"))), c.codes);
        EXPECT_EQ(Strings(node.value(QStringLiteral("serialNumbers"))), c.serials);
        EXPECT_EQ(Strings(node.value(QStringLiteral("externalSerialNumbers"))), c.external);
        EXPECT_EQ(node.value(QStringLiteral("order")).toString(), QLatin1String(c.order));
        EXPECT_EQ(node.value(QStringLiteral("complete")), QJsonValue(true));
        EXPECT_EQ(node.value(QStringLiteral("test")).toString(), QLatin1String(c.test));
    }
}

TEST_F(TraceTest, LatestTestResultFollowsTheNewestRunOnly) {
    struct Case {
        const char* code;
        const char* test;
        const char* label;
    };
    const Case cases[] = {
        {"P24100001", "passed", "Test: bestanden"},        // failed, then passed
        {"P24100002", "failed", "Test: nicht bestanden"},  // passed, then failed (IDs not in time order)
        {"P24100003", "untested", "Test: ungeprüft"},      // one aborted run without items
        {"P24100010", "untested", "Test: ungeprüft"},      // never tested
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const QString code = QString::fromLatin1(c.code);
        const QJsonObject tree = RunTraceCommand({QStringLiteral("show"), code, QStringLiteral("--json")})
                                     .Json()
                                     .value(QStringLiteral("tree"))
                                     .toObject();
        EXPECT_EQ(tree.value(QStringLiteral("test")).toString(), QLatin1String(c.test));
        EXPECT_EQ(tree.value(QStringLiteral("complete")), QJsonValue());  // a free device has no assembly number
        EXPECT_TRUE(RunTraceCommand({QStringLiteral("show"), code}).out.contains(QString::fromUtf8(c.label)));
    }
}

TEST_F(TraceTest, TextCsvAndJsonShowTheSameTree) {
    // Each output as "depth:device:parent" lines in output order.
    const QStringList expected = {"0:9030:",     "1:9031:9030", "1:9032:9030", "1:9033:9030",
                                  "1:9034:9030", "1:9035:9030", "1:9036:9030", "1:9037:9030",
                                  "1:9038:9030", "2:9039:9038", "2:9040:9038"};
    const QStringList code{QStringLiteral("show"), QStringLiteral("P24100039")};

    QStringList fromText;
    QList<int> parents;
    // The device lines (the last line says that no device has journal entries).
    const QStringList lines =
        RunTraceCommand(code).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).filter(QStringLiteral("Gerät "));
    const QRegularExpression device(QStringLiteral("^( *)\\S.*?\\(Gerät (\\d+)\\)"));
    for (const QString& line : lines.mid(1)) {
        const QRegularExpressionMatch match = device.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        const int depth = match.captured(1).size() / 2;
        parents.resize(depth + 1);
        parents[depth] = match.captured(2).toInt();
        fromText.append(QStringLiteral("%1:%2:%3")
                            .arg(depth)
                            .arg(match.captured(2), depth ? QString::number(parents[depth - 1]) : QString()));
    }
    EXPECT_EQ(fromText, expected);
    EXPECT_TRUE(lines.value(10).endsWith(QStringLiteral("<< P24100039"))) << lines.value(10).toStdString();

    QStringList fromCsv;
    for (const auto& record : CsvRecords(RunTraceCommand(code + QStringList{QStringLiteral("--csv")}).out)) {
        fromCsv.append(record[QStringLiteral("depth")] + QLatin1Char(':') + record[QStringLiteral("device")] +
                       QLatin1Char(':') + record[QStringLiteral("parent")]);
    }
    EXPECT_EQ(fromCsv, expected);

    QStringList fromJson;
    std::function<void(const QJsonObject&, int, const QString&)> walk = [&](const QJsonObject& node, int depth,
                                                                            const QString& parent) {
        const QString devId = QString::number(node.value(QStringLiteral("device")).toInt());
        fromJson.append(QStringLiteral("%1:%2:%3").arg(depth).arg(devId, parent));
        for (const QJsonValue& child : node.value(QStringLiteral("components")).toArray()) {
            walk(child.toObject(), depth + 1, devId);
        }
    };
    walk(RunTraceCommand(code + QStringList{QStringLiteral("--json")}).Json().value(QStringLiteral("tree")).toObject(),
         0, QString());
    EXPECT_EQ(fromJson, expected);
}

TEST_F(TraceTest, RemovedComponentsStayListedAtTheirFormerPlace) {
    {
        // The relay module 9034 (assembly 9508) comes out of 9030 and goes into the operating unit 9020 (9501).
        AssemblyDbClass db;
        db.DeleteAssemblyWithDevID(9508);
        db.AddChildToParentAssembly(9508, 9501);
    }
    struct Case {
        const char* code;
        int root;
        const char* state;  // of 9034 in that tree
        const char* link;
        const char* textLine;
    };
    const Case cases[] = {
        {"P24100030", 9030, "removed", "D0",
         "  RM-5120-A (Gerät 9034), PA 240101, Produktionscode P24100035, vollständig, "
         "Test: ungeprüft, AUSGEBAUT (D0) aus SG-5000-A (Gerät 9030)"},
        {"P24100035", 9020, "built-in", "Z",
         "  RM-5120-A (Gerät 9034), PA 240101, Produktionscode P24100035, "
         "vollständig, Test: ungeprüft, << P24100035"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const QStringList show{QStringLiteral("show"), QString::fromLatin1(c.code)};
        const QJsonObject tree = RunTraceCommand(show + QStringList{QStringLiteral("--json")})
                                     .Json()
                                     .value(QStringLiteral("tree"))
                                     .toObject();
        EXPECT_EQ(tree.value(QStringLiteral("device")).toInt(), c.root);
        const QJsonObject node = FindNode(tree, 9034);
        EXPECT_EQ(node.value(QStringLiteral("state")).toString(), QLatin1String(c.state));
        EXPECT_EQ(node.value(QStringLiteral("link")).toString(), QLatin1String(c.link));
        EXPECT_TRUE(RunTraceCommand(show).out.split(QLatin1Char('\n')).contains(QString::fromUtf8(c.textLine)))
            << RunTraceCommand(show).out.toStdString();
    }
}
