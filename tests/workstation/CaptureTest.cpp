// One scan through the capture, against the demo orders and devices (demo/README.md): where it goes, what it
// asks, what it writes and how the tree looks afterwards.

#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeNode.h"

namespace {

using namespace tree240101;

struct CaptureCase {
    const char* name;
    QStringList data;  // statements run on the demo data first
    QString order;
    std::vector<Scan> given;  // scans made before, their dialogs not checked
    Scan scan;
    bool recorded;
    Outcome want;
    int refreshes = 0;
    QStringList okFlags = {};  // "#n=flag": the OK flag of the own assembly row of a new device afterwards
};

void PrintTo(const CaptureCase& c, std::ostream* out) {
    *out << c.name;
}

const QString kRootNew = kRoot + "=#1K0|SG-5000-A P(1/1) S(0/1)|HasDev";  // the final product, one code below
const QString kNeedsNoCode = MsgRuleQuestion(
    "Die Komponente benötigt keienen Produktionscode.\r\nMöchten sie den Vorgang trotzdem durchführen ?");
const QString kNeedsNoSerNr =
    MsgRuleQuestion("Die Komponente benötigt keiene Seriennummer.\r\nMöchten sie den Vorgang trotzdem durchführen ?");
const QString kNewUntested =
    MsgRuleQuestion("Dieser Produktionscode oder diese Seriennummer gehört zu einem bisher ungetesteten Artikel. " +
                    text::kUntestedTail);
const QString kSwitch = MsgRuleQuestion(
    "Der Produktionscode gehört zu einem bereits angefangenem Zusammenbau. Möchten Sie zu dem Zusammenbau wechseln "
    "um ihn zu bearbeiten?");
QString WrongArticle(const QString& artNr, const QString& key, bool noSerNr) {
    return MsgOk("Der gescannte Produktionskode hat die Artikelnummer:" + artNr +
                 ", und stimmt nicht mit dem erwarteten Artikel: " + key + " überein. \r\n" +
                 (noSerNr ? " Da der Artikel auch keine Seriennummer besitzt, können keine Daten aus der KHK Historie "
                            "ermittelt werden.\r\n"
                          : ""));
}

// A new main board with one of its two codes (the second one not given).
const Scan kBoard{kLp, "P24200001", "", {}, {""}};
// A new power supply with its code and serial number.
const Scan kPowerSupply{kNt, "P24200003", "", {}, {"240003"}};

// Rows added:                    device, assembly, prodcode, serial, order, article
const std::array<int, 6> kNewComponent{2, 3, 1, 0, 1, 2};
const std::array<int, 6> kPlacedFree{1, 3, 0, 0, 1, 1};

// clang-format off
const CaptureCase kCases[] = {
    // Preconditions and acceptance against the bill of materials.
    {"NoOrder", {}, "", {}, {"", "P24200001"}, false, {{MsgOk(text::kNoOrder)}}},
    {"NoSelectedNode", {}, "240101", {}, {"none", "P24200001"}, false, {{}}},
    {"NeitherFormatNoExternalSerial", {}, "240101", {}, {kLp, "", "XYZ-1"}, false,
     {{MsgOk("Eingabe entspricht nicht dem zugelassenen Format")}, {}, {}, kLp}},
    {"CodeOnArticleWithoutCodesNo", {}, "240101", {}, {kFm, "P24200001", "", {MsgAnswer::No}}, false,
     {{kBeep, kNeedsNoCode}, {}, {}, kFm}},
    {"CodeOnArticleWithoutCodesYes", {}, "240101", {}, {kFm, "P24200001", "", {MsgAnswer::Yes}, {"FM24-00999"}}, true,
     {{kBeep, kNeedsNoCode, text::kExtSerNrPrompt}, {2, 3, 1, 1, 1, 2},
      {kRootNew, kFm + "=#2K2|FM-5300-A P(1/?) F(1/1)|Set"}, kAm}},
    {"SerNrOnArticleWithoutSerNrsNo", {}, "240101", {}, {kLp, "", "240002", {MsgAnswer::No}}, false,
     {{kBeep, kNeedsNoSerNr}, {}, {}, kLp}},
    // A new component: the first accepted scan creates the final product before it.
    // The final product, complete once its own production codes are (it has none of its own), is flagged; the
    // board still lacks a code.
    {"FirstScanCreatesFinalProduct", {}, "240101", {}, kBoard, true,
     {{text::kRemainingCodes}, kNewComponent, {kRootNew, kLp + "=#2K2|LP-5100-A P(1/2)|Unknown"}, kRm1}, 0,
     {"#1=1", "#2=0"}},
    {"NewUntestedComponentNoLeavesNothing", {}, "240101", {}, {kAm, "P24200004", "", {MsgAnswer::No}}, false,
     {{kNewUntested}, {}, {}, kAm}},
    {"NewUntestedComponentYes", {}, "240101", {}, {kAm, "P24200004", "", {MsgAnswer::Yes}}, true,
     {{kNewUntested}, kNewComponent, {kRootNew, kAm + "=#2K2|AM-5400-A P(1/1) T|Set"}, kBg}},
    // A value the server finds recorded under another letter case or with a trailing blank is that device, not a
    // new one: nothing of a refused scan stays, also not a final product.
    {"ExternalSerialRecordedWithTrailingBlank", {}, "240101", {}, {kFm, "", "240001 ", {MsgAnswer::No}}, false,
     {{kBeep, kSwitch}, {}, {}, kFm}},
    {"ExternalSerialRecordedInOtherCase", {}, "240101", {}, {kFm, "", "s0a1b2c3d"}, false,
     {{kBeep, WrongArticle("NT-5100-A", kFm, false)}, {}, {}, kFm}},
    {"ExternalSerialOfNewDevice", {}, "240101", {}, {kFm, "", "FM24-00999"}, true,
     {{}, {2, 3, 0, 1, 1, 2},
      {kRoot + "=#1K0|SG-5000-A P(0/1) S(0/1)|HasDev", kFm + "=#2K2|FM-5300-A P(0/?) F(1/1)|Set"}, kAm}},
    // The node already holds a device: the scan adds to it.
    {"DeviceNodeTakesLastCode", {}, "240101", {kBoard}, {"#2K2", "P24200002"}, true,
     {{}, {0, 0, 1, 0, 0, 0},
      {"#1K0=#1K0|SG-5000-A P(2/1) S(0/1)|HasDev", "#2K2=#2K2|LP-5100-A P(2/2)|Set"}, kRm1}},
    {"DeviceNodeCodeRecordedElsewhere", {}, "240101", {kBoard}, {"#2K2", "P24100001"}, false,
     {{MsgOk("Produktionscode wurde bereits verwendet und kann nicht nocheinmal zugewiesen werden.")}, {}, {}, "#2K2"}},
    {"DeviceNodeSerNrRecordedElsewhere", {}, "240101", {kPowerSupply}, {"#2K0", "", "240001"}, false,
     {{MsgOk(text::kSerNrUsed)}, {}, {}, "#2K0"}},
    {"DeviceNodeTakesMissingSerNr", {}, "240101", {{kNt, "P24200003", "", {}, {""}}}, {"#2K0", "", "S12345678"}, true,
     {{}, {0, 0, 0, 1, 0, 0}, {"#2K0=#2K0|NT-5200-A P(1/1) S(1/1)|Set"}, kFm}},
    // A free recorded device: article check, conversion from the ERP history, test rule, placement.
    {"FreeTestedDevicePlaced", {}, "240101", {}, {kAm, "P24100001"}, true,
     {{}, kPlacedFree, {kRootNew, kAm + "=9001K2|AM-5400-A P(1/1) T|Set"}, kBg}},
    {"FreeUntestedDeviceNo", {}, "240101", {}, {kAm, "P24100002", "", {MsgAnswer::No}}, false,
     {{kBeep, MsgRuleQuestion(text::kUntested)}, {}, {}, kAm}},
    {"FreeUntestedDeviceYes", {}, "240101", {}, {kAm, "P24100003", "", {MsgAnswer::Yes}}, true,
     {{kBeep, MsgRuleQuestion(text::kUntested)}, kPlacedFree, {kRootNew, kAm + "=9003K2|AM-5400-A P(1/1) T|Set"}, kBg}},
    {"DeviceAlreadyInTree", {}, "240101", {{kAm, "P24100001"}}, {kRm1, "P24100001"}, false,
     {{kBeep, MsgOk("Der Produktionscode wurde bereits in diesem Zusammenbau verwendet. Er kann nicht zweimal "
                    "verwendet werden")}, {}, {}, kRm1}},
    {"WrongArticleNoSerNr", {}, "240101", {}, {kLp, "P24100011"}, false,
     {{kBeep, WrongArticle("NT-5100-A", kLp, true)}, {}, {}, kLp}},
    {"WrongArticleNoHistory", {}, "240101", {}, {kLp, "P24100010"}, false,
     {{kBeep, WrongArticle("NT-5100-A", kLp, false)}, {}, {}, kLp}},
    {"ConversionFromErpHistory", {}, "240104", {}, {"NT-5200-A 0", "P24100010", "", {}, {"P24100010"}}, true,
     {{text::kSwapPrompt}, {1, 3, 1, 1, 1, 1}, {"fresh", "NT-5200-A 0=#1K0|NT-5200-A P(1/1) S(1/1)|Set"}}},
    {"ConversionImpossibleNoSerNr", {}, "240104", {}, {"NT-5200-A 0", "P24100011"}, false,
     {{kBeep, WrongArticle("NT-5100-A", "NT-5200-A 0", true)}, {}, {}, "NT-5200-A 0"}},
    // A device inside an assembly: take-over of a sub-assembly, or the offer to switch to it.
    {"SubAssemblyTakenOverWithComponents", {}, "240101", {}, {kBg, "P24100021"}, true,
     {{}, {1, 2, 0, 0, 1, 1},
      {kRoot + "=#1K0|SG-5000-A P(3/1) S(0/1)|HasDev", kBg + "=9020K0|BG-5600-B P(3/1) S(1/1)|Set",
       "+9021K0|TP-5610-A P(1/1)|Set", "+9022K0|DP-5620-A P(1/1) F(1/1)|Set"}, "#1K0"}},
    {"ForeignAssemblyOnLeafNo", {}, "240101", {}, {kLp, "P24100031", "", {MsgAnswer::No}}, false,
     {{kBeep, kSwitch}, {}, {}, kLp}},
    {"ForeignAssemblyOnLeafYesShowsIt", {}, "240101", {}, {kLp, "P24100031", "", {MsgAnswer::Yes}}, false,
     {{kBeep, kSwitch}, {}, QStringList{"fresh"} + Shown9030()}},
    {"SubAssemblyOnRootNode", {}, "240101", {}, {kRoot, "P24100021", "", {MsgAnswer::No}}, false,
     {{kBeep, kSwitch}, {}, {}, kRoot}},
    // The order's article begins with the sub-assembly's, whose piece matches no node: the root stays the final
    // product and the sub-assembly goes into the scanned node.
    {"SubAssemblyNeverReplacesTheFinalProduct",
     {"INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) VALUES ('240199', 'BG-5600-BX01', 'X')",
      "INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, SubCount, SubManufacturer) "
      "VALUES ('240199', 'BG-5600-B', 1, '99999')",
      "INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, ProductionCodeCount, SerialNumberCount, "
      "ExtSerialNumberCount, TestRequired) VALUES ('BG-5600-BX', 0, 1, 0, 0, 0)",
      "UPDATE device_productcode SET Suffix = 3 WHERE DevID = 9020"},
     "240199", {}, {"BG-5600-B 0", "P24100020"}, true,
     {{}, {1, 2, 0, 0, 1, 1},
      {"BG-5600-BX 0=#1K0|BG-5600-BX P(3/1)|HasDev", "BG-5600-B 0=9020K0|BG-5600-B P(3/1) S(1/1)|Set",
       "+9021K0|TP-5610-A P(1/1)|Set", "+9022K0|DP-5620-A P(1/1) F(1/1)|Set"}, "#1K0"}},
    {"OwnRootOfOtherArticle", {}, "240101", {}, {kRm1, "P24100020"}, false,
     {{kBeep, MsgOk("Der gescannte Produktionskode wurde bereits in einem Zusammenbau verwendet und die "
                    "Artikelnummer:BG-5600-B, stimmt nicht mit dem erwarteten Artikel: RM-5120-A 1 überein. \r\n")},
      {}, {}, kRm1}},
    // A run-time error (a cycle in the recorded assemblies) rolls back and rebuilds the tree.
    {"ErrorEndingRollsBackAndRebuilds",
     {"INSERT INTO device (ID, ValidFlag) VALUES (8001, 1), (8002, 1)",
      "INSERT INTO device_productcode (DevID, ProductCode) VALUES (8001, 'LP-5100-A'), (8002, 'LP-5100-A')",
      "INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (8001, 'P29900001')",
      "INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType) VALUES "
      "(8501, 8501, 8001, 'A'), (8502, 8502, 8002, 'A'), (8601, 8501, 8502, 'Z'), (8602, 8502, 8501, 'Z')"},
     "240101", {}, {kLp, "P29900001"}, false,
     {{MsgOk("Es ist ein Fehler aufgetreten. Der Vorgang wird Gelöscht")}, {}, {"fresh"}}, 1},
};
// clang-format on

class CaptureTest : public WorkflowTest, public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(CaptureTest, RecordsOrRefusesTheScan) {
    const CaptureCase& c = GetParam();
    for (const QString& statement : c.data) {
        ExecTestSql(statement);
    }
    OpenOrder(c.order);
    Given(c.given);
    bool recorded = false;
    Check(c.want, [&] { recorded = Capture(c.scan); });
    EXPECT_EQ(recorded, c.recorded);
    EXPECT_EQ(host_.refreshes, c.refreshes);
    EXPECT_EQ(host_.focus.value(host_.focus.size() - 1, -1), 0) << "keyboard on the tree of pane 0";
    EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
    for (const QString& flag : c.okFlags) {
        EXPECT_EQ(QueryTestValue("SELECT OKFlag FROM device_assembly WHERE AssemblyType = 'A' AND Device_Assembly = ?",
                                 {Resolve(flag.section('=', 0, 0))})
                      .toString(),
                  flag.section('=', 1))
            << flag.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CaptureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
