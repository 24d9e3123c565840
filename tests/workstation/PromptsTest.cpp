// Completing a placed device: the prompts for its remaining production codes and its missing serial number.
// The device stands alone in the tree (built from its article), so all the article's codes are its own.

#include "tests/workstation/WorkflowTestHost.h"
#include "tree/TreeNode.h"

namespace {

enum class Prompt { RemainingProdCodes, SerNr };

struct PromptCase {
    const char* name;
    Prompt prompt;
    QString artNr;
    bool withDevice;
    QStringList prodCodes;  // recorded on the device before
    bool okFlag;
    std::vector<MsgAnswer> answers;
    QStringList inputs;
    bool result;
    int okFlagAfter;
    Outcome want;
    int calls = 1;
};

void PrintTo(const PromptCase& c, std::ostream* out) {
    *out << c.name;
}

const QString kNotAProdCode = MsgOk(
    "Eingabe entspricht nicht dem Produktioncode Format\r\n Möchten Sie stattdessen die Komponente als 'Fertig' "
    "markieren und den Vorgang beenden? ");
const QString kRecordedRetry = QStringLiteral("RetryCancel: Produktionscode bereits vorhanden");
const QString kBoardDone = QStringLiteral("#1K0=#1K0|LP-5100-A P(2/2)|Set");
const QStringList kOneCode{"P24200001"};

using P = Prompt;
using A = MsgAnswer;

// clang-format off
const PromptCase kCases[] = {
    // The remaining production codes, one input box after the other.
    {"CodesScannedUntilComplete", P::RemainingProdCodes, "LP-5100-A", true, {}, false, {}, {"P24200001", "P24200002"},
     true, 1, {{text::kRemainingCodes, text::kRemainingCodes}, {0, 0, 2, 0, 0, 0}, {kBoardDone}, "#1K0"}},
    {"CancelStops", P::RemainingProdCodes, "LP-5100-A", true, kOneCode, false, {}, {""},
     false, 0, {{text::kRemainingCodes}, {}, {}, "#1K0"}},
    {"NotAProdCodeStops", P::RemainingProdCodes, "LP-5100-A", true, {}, false, {}, {"X123"},
     false, 0, {{text::kRemainingCodes, kNotAProdCode}, {}, {}, "#1K0"}},
    {"RecordedCodeRetry", P::RemainingProdCodes, "LP-5100-A", true, kOneCode, false, {A::Retry},
     {"P24100001", "P24200002"}, true, 1,
     {{text::kRemainingCodes, kRecordedRetry, text::kRemainingCodes}, {0, 0, 1, 0, 0, 0}, {kBoardDone}, "#1K0"}},
    {"RecordedCodeCancel", P::RemainingProdCodes, "LP-5100-A", true, kOneCode, false, {A::Cancel}, {"P24100001"},
     false, 0, {{text::kRemainingCodes, kRecordedRetry}, {}, {}, "#1K0"}},
    {"UntestedNo", P::RemainingProdCodes, "AM-5400-A", true, {}, false, {A::No}, {"P24200001"},
     false, 0, {{text::kRemainingCodes, MsgRuleQuestion(text::kUntested)}, {}, {}, "#1K0"}},
    {"UntestedYes", P::RemainingProdCodes, "AM-5400-A", true, {}, false, {A::Yes}, {"P24200001"},
     true, 1, {{text::kRemainingCodes, MsgRuleQuestion(text::kUntested)}, {0, 0, 1, 0, 0, 0},
               {"#1K0=#1K0|AM-5400-A P(1/1) T|Set"}, "#1K0"}},
    {"AlreadyOkAsksNothing", P::RemainingProdCodes, "LP-5100-A", true, {}, true, {}, {},
     true, 1, {{}, {}, {}, "#1K0"}},
    {"NoOwnCodesGoesToSerial", P::RemainingProdCodes, "FM-5300-A", true, {}, false, {}, {"FM24-00999"},
     true, 1, {{text::kExtSerNrPrompt}, {0, 0, 0, 1, 0, 0}, {}, "#1K0"}},
    {"CodesCompleteSerialRefused", P::RemainingProdCodes, "NT-5200-A", true, kOneCode, false, {}, {"", ""},
     false, 0, {{text::kSerNrPrompt, MsgOk(text::kSerNrForm), text::kSerNrPrompt, MsgOk(text::kSerNrForm)},
                {}, {}, "#1K0"}},
    {"NoDeviceAsksNothing", P::RemainingProdCodes, "LP-5100-A", false, {}, false, {}, {},
     false, -1, {{}, {}, {}, "LP-5100-A 0"}},
    // The missing serial number: the own one first, else the external one; once per call.
    {"OwnSerNrRecorded", P::SerNr, "NT-5200-A", true, kOneCode, false, {}, {"240002"},
     true, 0, {{text::kSerNrPrompt}, {0, 0, 0, 1, 0, 0}, {}, "#1K0"}},
    {"OwnSerNrWrongForm", P::SerNr, "NT-5200-A", true, kOneCode, false, {}, {"ab1234"},
     false, 0, {{text::kSerNrPrompt, MsgOk(text::kSerNrForm)}, {}, {}, "#1K0"}},
    {"OwnSerNrCancel", P::SerNr, "NT-5200-A", true, kOneCode, false, {}, {""},
     false, 0, {{text::kSerNrPrompt, MsgOk(text::kSerNrForm)}, {}, {}, "#1K0"}},
    {"OwnSerNrRecordedElsewhere", P::SerNr, "NT-5200-A", true, kOneCode, false, {}, {"240001"},
     false, 0, {{text::kSerNrPrompt, MsgOk(text::kSerNrUsed)}, {}, {}, "#1K0"}},
    {"ExternalSerNrAnyForm", P::SerNr, "FM-5300-A", true, {}, false, {}, {"fm 24/ä"},
     true, 0, {{text::kExtSerNrPrompt}, {0, 0, 0, 1, 0, 0}, {}, "#1K0"}},
    {"ExternalSerNrEmpty", P::SerNr, "FM-5300-A", true, {}, false, {}, {""},
     false, 0, {{text::kExtSerNrPrompt, MsgOk("Seriennummer ist ungültig")}, {}, {}, "#1K0"}},
    {"ExternalSerNrRecordedElsewhere", P::SerNr, "FM-5300-A", true, {}, false, {}, {"FM24-00731"},
     false, 0, {{text::kExtSerNrPrompt, MsgOk(text::kSerNrUsed)}, {}, {}, "#1K0"}},
    {"OwnBeforeExternalOverTwoCalls", P::SerNr, "T-BOTH", true, {}, false, {}, {"240002", "EXT-1"},
     true, 0, {{text::kSerNrPrompt, text::kExtSerNrPrompt}, {0, 0, 0, 2, 0, 0}, {}, "#1K0"}, 2},
    {"NothingNeeded", P::SerNr, "LP-5100-A", true, {}, false, {}, {},
     true, 0, {{}, {}, {}, "#1K0"}},
    {"NoDeviceAsksNothing", P::SerNr, "NT-5200-A", false, {}, false, {}, {},
     false, -1, {{}, {}, {}, "NT-5200-A 0"}},
};
// clang-format on

class PromptsTest : public WorkflowTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptsTest, CompletesTheDevice) {
    const PromptCase& c = GetParam();
    ExecTestSql(
        "INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, ProductionCodeCount, SerialNumberCount, "
        "ExtSerialNumberCount, TestRequired) VALUES ('T-BOTH', 0, 0, 1, 1, 0)");
    host_.paNr[0] = QStringLiteral("240101");
    TreeNode* node = host_.tree.CreateRootDevice(c.artNr);
    qint32 devId = 0;
    if (c.withDevice) {
        devId = AddDevice(c.artNr, c.prodCodes);
        db_.CreateAssNrFromDivID(devId, 240101);
        host_.tree.InsertDeviceIntoSpecifiedNode(node, devId);
        host_.tree.InsertProdcodeCountInNodeWithDeviceIdText(node);
        db_.SetOKFlagInAssembly(devId, c.okFlag);
    }
    host_.trees[0].SetSelectedItem(node);
    Queue(c.answers, c.inputs);

    bool result = false;
    Check(c.want, [&] {
        for (int call = 0; call < c.calls; ++call) {
            result = c.prompt == P::SerNr ? flow_.prompts.InsertSerIfNeeded(node)
                                          : flow_.prompts.PromptRemainingProdCodes(node);
        }
    });
    EXPECT_EQ(result, c.result);
    const QVariant okFlag =
        QueryTestValue("SELECT OKFlag FROM device_assembly WHERE Device_Assembly = ? AND AssemblyType = 'A'", {devId});
    EXPECT_EQ(okFlag.isValid() ? okFlag.toInt() : -1, c.okFlagAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, PromptsTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    return std::string(info.param.prompt == P::SerNr ? "SerNr_" : "ProdCodes_") + info.param.name;
});

}  // namespace
