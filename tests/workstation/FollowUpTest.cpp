// The end of an assembly: the scan that completes the final product runs the follow-up keyword of the
// article's scan order (demo/ini), after a confirmation where the keyword asks for one.

#include "tests/workstation/WorkflowTestHost.h"

namespace {

struct FollowUpCase {
    const char* name;
    QString order;
    Scan scan;  // the last scan of the assembly, with every answer on the way
    Outcome want;
    const char* keyword = nullptr;  // instead of the scan: the keyword alone, after a main board was scanned
};

void PrintTo(const FollowUpCase& c, std::ostream* out) {
    *out << c.name;
}

const std::array<int, 6> kFinalProduct{1, 1, 1, 1, 1, 1};  // device, own assembly, code, serial, order, article
const QString kFirstSerNr = text::kSerNrPrompt;
const QString kControlUnitC = QStringLiteral("SG-5000-C 0=#1K0|SG-5000-C P(1/1) S(1/1)|Set");

using A = MsgAnswer;

// clang-format off
const FollowUpCase kCases[] = {
    {"NewDeviceWCommitOkStartsNextAssembly", "240101", {"SG-5000-A 0", "P24200009", "", {A::Ok}, {"240002"}},
     {{kFirstSerNr, kConfirmBeep, text::kConfirm}, kFinalProduct, {"fresh"}, "LP-5100-A 2"}},
    {"NewDeviceWCommitCancelKeepsAssembly", "240101", {"SG-5000-A 0", "P24200009", "", {A::Cancel}, {"240002"}},
     {{kFirstSerNr, kConfirmBeep, text::kConfirm}, kFinalProduct,
      {"SG-5000-A 0=#1K0|SG-5000-A P(1/1) S(1/1)|Set"}, "#1K0"}},
    {"NewDeviceStartsNextAssembly", "240102", {"BG-5600-B 0", "P24200010", "", {}, {"310099"}},
     {{kFirstSerNr}, kFinalProduct, {"fresh"}, "TP-5610-A 2"}},
    {"SwapDeviceWCommitOkShowsAskedDevice", "240103",
     {"SG-5000-C 0", "P24200011", "", {A::Ok}, {"240003", "P24200011"}},
     {{kFirstSerNr, kConfirmBeep, text::kConfirm, text::kSwapPrompt}, kFinalProduct, {"fresh", kControlUnitC}}},
    {"SwapDeviceWCommitCancelKeepsAssembly", "240103", {"SG-5000-C 0", "P24200011", "", {A::Cancel}, {"240003"}},
     {{kFirstSerNr, kConfirmBeep, text::kConfirm}, kFinalProduct, {kControlUnitC}, "#1K0"}},
    {"SwapDeviceAsksWithoutConfirmation", "240104", {"NT-5200-A 0", "P24200012", "", {}, {"S12345678", ""}},
     {{kFirstSerNr, text::kSwapPrompt, kBeep, MsgOk(text::kSwapInvalid)}, kFinalProduct, {"fresh"}}},
    {"NoKeywordMovesToNextPiece", "240101", {"RM-5120-A 1", "P24200013"},
     {{}, {2, 3, 1, 0, 1, 2},
      {"SG-5000-A 0=#1K0|SG-5000-A P(1/1) S(0/1)|HasDev", "RM-5120-A 1=#2K1|RM-5120-A P(1/1)|Set"}, "RM-5120-A 2"}},
    // The keywords on their own, on an assembly with its main board half scanned.
    {"KeywordNewDevice", "240101", {}, {{}, {}, {"fresh"}, "LP-5100-A 2"}, "NewDevice"},
    {"KeywordNewDeviceWCommitCancel", "240101", {"", "", "", {A::Cancel}},
     {{kConfirmBeep, text::kConfirm}, {}, {}, "RM-5120-A 1"}, "NewDeviceWCommit"},
    {"KeywordSwapDeviceWCommitOk", "240101", {"", "", "", {A::Ok}, {"P24100030"}},
     {{kConfirmBeep, text::kConfirm, text::kSwapPrompt}, {}, QStringList{"fresh"} + tree240101::Shown9030()},
     "SwapDeviceWCommit"},
    {"KeywordNewDeviceWithoutOrder", "", {}, {{MsgOk("Bitte einen Produktionsauftrag eingeben!")}}, "NewDevice"},
    {"KeywordNone", "240101", {}, {{}, {}, {}, "RM-5120-A 1"}, ""},
    {"KeywordUnknown", "240101", {}, {{}, {}, {}, "RM-5120-A 1"}, "Ende"},
};
// clang-format on

class FollowUpTest : public WorkflowTest, public ::testing::WithParamInterface<FollowUpCase> {};

TEST_P(FollowUpTest, FinishesTheAssembly) {
    const FollowUpCase& c = GetParam();
    OpenOrder(c.order);
    if (c.keyword != nullptr) {
        if (!c.order.isEmpty()) {
            Given({{"LP-5100-A 2", "P24200001", "", {}, {""}}});
        }
        Queue(c.scan.answers, c.scan.inputs);
        bool confirmed = false;
        Check(c.want, [&] { confirmed = flow_.newAss.FollowUp(QLatin1String(c.keyword)); });
        EXPECT_EQ(confirmed, c.scan.answers != std::vector<MsgAnswer>{A::Cancel});
        return;
    }
    bool recorded = false;
    Check(c.want, [&] { recorded = Capture(c.scan); });
    EXPECT_TRUE(recorded);
}

INSTANTIATE_TEST_SUITE_P(Cases, FollowUpTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
