// Showing a recorded device: against the order of the pane where its hierarchy fits, or built from its root
// after the worker agreed. Nothing is written.

#include "tests/workstation/WorkflowTestHost.h"

namespace {

struct DisplayCase {
    const char* name;
    QStringList data;  // statements run on the demo data first
    QString order;
    QString code;  // "" asks for it
    std::vector<MsgAnswer> answers;
    QStringList inputs;
    Outcome want;
    QString orderAfter;
};

void PrintTo(const DisplayCase& c, std::ostream* out) {
    *out << c.name;
}

// 9030 built from its root, without an order.
QStringList RootView9030() {
    QStringList rows{"empty"};
    for (const QString& edit : tree240101::Shown9030()) {
        rows.append(edit.startsWith(QLatin1Char('+')) ? edit : QLatin1Char('+') + edit.section(QLatin1Char('='), 1));
    }
    return rows;
}

const QString kStillEdit = QStringLiteral("Möchten Sie den Zusammenbau trotzdem bearbeiten ?");
const QString kNoMatching = QStringLiteral(
    "Es wurde kein Artikel in dem Produktionsauftrag gefunden, der zu dem Artikel des eingegebenen "
    "Produktionscodes passt. \r\n");
const QString kUsedIn240102 = MsgYesNo("Der Artikel wurde bereits in dem Produktionsauftrag 240102 verwendet. \r\n" +
                                       kStillEdit + "\r\n\r\n" + text::kViewWarning);
const QString kHigherLevels = MsgYesNo(
    "Es existieren noch höhere Hierarchiebenen,\r\nwelche mit dem gewählten PA nicht angezeigt werden können. \r\n "
    "Möchten Sie sie trotzdem mit anzeigen ?  \r\n\r\n" +
    text::kViewWarning);
const QStringList kShown9038{"BG-5600-B 0=9038K0|BG-5600-B P(3/1) S(1/1)|Set",
                             "TP-5610-A 2=9039K0|TP-5610-A P(1/1)|Set",
                             "DP-5620-A 2=9040K0|DP-5620-A P(1/1) F(1/1)|Set"};

// A board 8002 (P29900002) built into an operating unit 8001 recorded under 240101 (master order given).
QStringList UnitUnder240101(const QString& masterOrder) {
    return {"INSERT INTO device (ID, ValidFlag) VALUES (8001, 1), (8002, 1)",
            "INSERT INTO device_productcode (DevID, ProductCode) VALUES (8001, 'BG-5600-B'), (8002, 'TP-5610-A')",
            "INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (8002, 'P29900002')",
            "INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) VALUES (8001, '240101')",
            "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder) VALUES "
            "(8501, 8501, 8001, 'A', " +
                masterOrder + "), (8502, 8502, 8002, 'A', 240101), (8601, 8501, 8502, 'Z', NULL)"};
}

// A device 8001 (P29900001) of the given article, alone in an assembly of its own with master order 0.
QStringList LoneAssembly(const QString& artNr) {
    QStringList rows{
        "INSERT INTO device (ID, ValidFlag) VALUES (8001, 1)",
        "INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (8001, 'P29900001')",
        "INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber) VALUES (8001, '240101')",
        "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder) "
        "VALUES (8501, 8501, 8001, 'A', 0)"};
    if (!artNr.isEmpty()) {
        rows.append("INSERT INTO device_productcode (DevID, ProductCode) VALUES (8001, '" + artNr + "')");
    }
    return rows;
}

using A = MsgAnswer;
using tree240101::Shown9030;

// clang-format off
const DisplayCase kCases[] = {
    // Refusals before any hierarchy is looked at.
    {"AskedCodeOfNeitherFormat", {}, "240101", "", {}, {"XYZ"},
     {{text::kSwapPrompt, kBeep, MsgOk(text::kSwapInvalid)}}, "240101"},
    {"UnknownCode", {}, "240101", "P29999999", {}, {},
     {{kBeep, MsgOk("Dieser Produktionscode ist noch unbekannt")}}, "240101"},
    {"FreeDevice", {}, "240101", "P24100001", {}, {},
     {{kBeep, MsgOk("Dieser Artikel wurde keinem Gerät zugewiesen")}}, "240101"},
    // The hierarchy lies in the order: shown without a question.
    {"ByProdCode", {}, "240101", "P24100030", {}, {}, {{}, {}, Shown9030()}, "240101"},
    {"BySerNr", {}, "240101", "240001", {}, {}, {{}, {}, Shown9030()}, "240101"},
    {"ComponentShowsItsRoot", {}, "240101", "P24100039", {}, {}, {{}, {}, Shown9030()}, "240101"},
    {"TestedAssemblyInformed",
     {"INSERT INTO testpass (ID, DeviceID, CreationDate) VALUES (9107, 9030, '2024-10-08 10:00:00')",
      "INSERT INTO testitem (TestPassID, PassFailFlag) VALUES (9107, -1)"},
     "240101", "P24100030", {}, {},
     {{MsgOk("Achtung ! \r\nDiese Zusammenstellung wurde bereits gültig getestet. \r\nÄnderrungen der "
             "Zusammensetzung des Gerätes erfordern einen Wiederholten Testdurchlauf.")}, {}, Shown9030()}, "240101"},
    {"BuiltUnderOtherOrder", {}, "240101", "P24100020", {}, {},
     {{kBeep, MsgOk("Das gescannte Endgerät wurde unter dem Produktionsauftrag 240102 erstellt. \r\nDieser weicht "
                    "vom einegebenen Produktionsauftrag ab.\r\nÜberprüfen Sie bitte ihre Eingabe")}}, "240101"},
    // Levels above the order, or no level in it: the root-based view is offered.
    {"HigherLevelsNo", {}, "240102", "P24100039", {A::No}, {}, {{kHigherLevels}, {}, kShown9038}, "240102"},
    {"HigherLevelsYes", {}, "240102", "P24100039", {A::Yes}, {}, {{kHigherLevels}, {}, RootView9030()}, ""},
    {"NoLevelInOrderNo", {}, "240103", "P24100039", {A::No}, {}, {{kBeep, kUsedIn240102}}, "240103"},
    {"NoLevelInOrderYes", {}, "240103", "P24100039", {A::Yes}, {}, {{kBeep, kUsedIn240102}, {}, RootView9030()}, ""},
    {"NoLevelWithoutMasterOrder", LoneAssembly("XX-0001-A"), "240103", "P29900001", {A::No}, {},
     {{kBeep, MsgYesNo(kNoMatching + kStillEdit + "\r\n\r\n" + text::kViewWarning)}}, "240103"},
    {"RootWithoutArticle", LoneAssembly(""), "", "P29900001", {A::Yes}, {},
     {{kBeep, MsgYesNo(kNoMatching + kStillEdit + "\r\n\r\n" + text::kViewWarning),
       MsgOk("Ungültiger Produktionsauftrag"), kBeep,
       MsgOk("Es Wurde kein Artikel in dem Produktionsauftrag gefunden, der zu dem Artikel des eingegebenen "
             "Produktionscodes passt")}}, ""},
    // The level found is not the order's product.
    {"OwnAssemblyNotTheProduct", LoneAssembly("LP-5100-A"), "240101", "P29900001", {}, {},
     {{MsgOk("Dieser Artikel wurde bisher keinem Gerät zugewiesen")}}, "240101"},
    {"ParentNotTheProductNo", UnitUnder240101("240101"), "240101", "P29900002", {A::No}, {},
     {{kBeep, kBeep, MsgYesNo(kNoMatching + kStillEdit + " \r\n\r\n" + text::kViewWarning)}}, "240101"},
    {"ParentNotTheProductNoMasterOrder", UnitUnder240101("0"), "240101", "P29900002", {}, {},
     {{kBeep, MsgOk("Dieser Artikel wurde keinem Gerät mit diesem Productionsauftrag zugewiesen")}}, "240101"},
};
// clang-format on

class DeviceDisplayTest : public WorkflowTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DeviceDisplayTest, ShowsTheDeviceOrRefuses) {
    const DisplayCase& c = GetParam();
    for (const QString& statement : c.data) {
        ExecTestSql(statement);
    }
    OpenOrder(c.order);
    Select(QString());
    Queue(c.answers, c.inputs);
    Check(c.want, [&] { flow_.display.SwapDevice(c.code, 0); });
    EXPECT_EQ(host_.paNr[0], c.orderAfter);
    EXPECT_EQ(host_.focus.value(host_.focus.size() - 1, -1), 0) << "keyboard on the tree of pane 0";
}

INSTANTIATE_TEST_SUITE_P(Cases, DeviceDisplayTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
