// The double-click on a node, and a line scanned into the tree that is no production code: the value (typed into
// the input box, or the line) goes to the capture as a production code, a serial number or an external serial
// number, by its format.

#include "tests/workstation/WorkflowTestHost.h"

namespace {

struct EntryCase {
    const char* name;
    QString order;
    std::vector<Scan> given;
    Scan click;  // node, and the answers: the first input is the value typed into the entry's box
    Outcome want;
    int pane = 0;
    qint16 button = 1;
    bool scanned = false;  // the first input is a line scanned into the tree, not typed into the input box
};

void PrintTo(const EntryCase& c, std::ostream* out) {
    *out << c.name;
}

const QString kEntry = Input(QStringLiteral("Produktionscode/Serinnummer Eingabe"), text::kScanPrompt);
const QString kNeitherFormat = MsgOk(
    "Der gescannte Wert entspricht werder einer Seriennummer noch einem Produktionscodeformat. Bitte korregieren Sie "
    "Ihre Eingabe");
const QString kRootNew = QStringLiteral("SG-5000-A 0=#1K0|SG-5000-A P(1/1) S(0/1)|HasDev");
const QString kBoard = QStringLiteral("LP-5100-A 2=#2K2|LP-5100-A P(1/2)|Unknown");
const QString kRootNoCode = QStringLiteral("SG-5000-A 0=#1K0|SG-5000-A P(0/1) S(0/1)|HasDev");
const QString kNeedsNoCode = MsgRuleQuestion(
    "Die Komponente benötigt keienen Produktionscode.\r\nMöchten sie den Vorgang trotzdem durchführen ?");

using A = MsgAnswer;

// clang-format off
const EntryCase kCases[] = {
    {"NoOrder", "", {}, {}, {{MsgOk(text::kNoOrder)}}},
    {"OtherPane", "240101", {}, {}, {{}, {}, {}, "LP-5100-A 2"}, 1},
    {"RightButton", "240101", {}, {}, {{}, {}, {}, "LP-5100-A 2"}, 0, 2},
    {"NoSelectedNode", "240101", {}, {"none"}, {}},
    {"NeitherFormatWithoutExternalSerial", "240101", {}, {"LP-5100-A 2", "", "", {}, {"XYZ-1"}},
     {{kEntry, kNeitherFormat}, {}, {}, "LP-5100-A 2"}},
    {"EmptyWithoutExternalSerial", "240101", {}, {"LP-5100-A 2", "", "", {}, {""}},
     {{kEntry, kNeitherFormat}, {}, {}, "LP-5100-A 2"}},
    {"ProdCode", "240101", {}, {"LP-5100-A 2", "", "", {}, {"P24200001", ""}},
     {{kEntry, text::kRemainingCodes}, {2, 3, 1, 0, 1, 2}, {kRootNew, kBoard}, "RM-5120-A 1"}},
    {"ExternalSerial", "240101", {}, {"FM-5300-A 2", "", "", {}, {"FM24-00999"}},
     {{kEntry}, {2, 3, 0, 1, 1, 2}, {kRootNoCode, "FM-5300-A 2=#2K2|FM-5300-A P(0/?) F(1/1)|Set"}, "AM-5400-A 2"}},
    {"EmptyWhereExternalSerialExpected", "240101", {}, {"FM-5300-A 2", "", "", {}, {"", ""}},
     {{kEntry, text::kExtSerNrPrompt, MsgOk("Seriennummer ist ungültig")}, {2, 3, 0, 0, 1, 2},
      {kRootNoCode, "FM-5300-A 2=#2K2|FM-5300-A P(0/?) F(0/1)|HasDev"}, "AM-5400-A 2"}},
    // "P12345" is both a production code and a serial number.
    {"BothFormatsTakenAsProdCode", "240101", {}, {"LP-5100-A 2", "", "", {}, {"P12345", ""}},
     {{kEntry, text::kRemainingCodes}, {2, 3, 1, 0, 1, 2}, {kRootNew, kBoard}, "RM-5120-A 1"}},
    {"BothFormatsSerNrWhenCodeRefused", "240101", {{"NT-5200-A 0", "P24200003", "", {}, {""}}},
     {"#2K0", "", "", {A::No}, {"P12345"}},
     {{kEntry, kBeep, kNeedsNoCode}, {0, 0, 0, 1, 0, 0}, {"#2K0=#2K0|NT-5200-A P(1/1) S(1/1)|Set"}, "FM-5300-A 2"}},
    // Recorded as a production code already: refused as such, and not recorded as a serial number besides.
    {"BothFormatsRecordedAsCodeNeverAlsoSerNr", "240101", {{"LP-5100-A 2", "P12345", "", {}, {""}}},
     {"NT-5200-A 0", "", "", {}, {"P12345"}},
     {{kEntry, kBeep, MsgOk("Der Produktionscode wurde bereits in diesem Zusammenbau verwendet. Er kann nicht zweimal "
                            "verwendet werden")}, {0, 0, 0, 0, 0, 0}, {}, "NT-5200-A 0"}},
    // Scanned into the tree: no input box; a value of no known format is refused with the refusal tone.
    {"ScannedExternalSerial", "240101", {}, {"FM-5300-A 2", "", "", {}, {"FM24-00999"}},
     {{}, {2, 3, 0, 1, 1, 2}, {kRootNoCode, "FM-5300-A 2=#2K2|FM-5300-A P(0/?) F(1/1)|Set"}, "AM-5400-A 2"}, 0, 1, true},
    {"ScannedNeitherFormat", "240101", {}, {"LP-5100-A 2", "", "", {}, {"XYZ-1"}},
     {{kBeep, kNeitherFormat}, {}, {}, "LP-5100-A 2"}, 0, 1, true},
    {"ScannedShortProdCode", "240101", {}, {"LP-5100-A 2", "", "", {}, {"P12345", ""}},
     {{text::kRemainingCodes}, {2, 3, 1, 0, 1, 2}, {kRootNew, kBoard}, "RM-5120-A 1"}, 0, 1, true},
    {"ScannedWithoutOrder", "", {}, {"", "", "", {}, {"240010"}}, {{MsgOk(text::kNoOrder)}}, 0, 1, true},
};
// clang-format on

class ScanEntryTest : public WorkflowTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ScanEntryTest, PassesTheValueByFormat) {
    const EntryCase& c = GetParam();
    OpenOrder(c.order);
    host_.paNr[1] = c.order;
    Given(c.given);
    if (!c.click.node.isEmpty()) {
        Select(c.click.node == QLatin1String("none") ? QString() : c.click.node);
    }
    host_.lastMouseButton = c.button;
    if (c.scanned) {
        QStringList inputs = c.click.inputs;
        const QString line = inputs.takeFirst();
        Queue(c.click.answers, inputs);
        Check(c.want, [&] { flow_.entry.TreeViewCtr_ScannedLine(line); });
        return;
    }
    Queue(c.click.answers, c.click.inputs);
    Check(c.want, [&] { flow_.entry.TreeViewCtr_DblClick(c.pane); });
}

INSTANTIATE_TEST_SUITE_P(Cases, ScanEntryTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
