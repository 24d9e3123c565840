// A scan is recorded whole or not at all: for every path through the capture, each statement of the scan in
// turn fails as the server would fail it (a refused statement, a deadlock, a lost connection). Afterwards the six
// traceability tables hold the whole scan or nothing of it, the window reads "Bereit", no transaction is left
// open, and the tree shows the recorded state.

#include <iostream>

#include "db/ColumnLimits.h"
#include "tests/support/StatementFault.h"
#include "tests/workstation/WorkflowTestHost.h"

namespace {

using namespace tree240101;

struct FaultPath {
    const char* name;
    QString order;
    std::vector<Scan> given;  // scans made before
    Scan scan;
};

void PrintTo(const FaultPath& path, std::ostream* out) {
    *out << path.name;
}

const Scan kBoard{kLp, "P24200001", "", {}, {""}};
const Scan kPowerSupply{kNt, "P24200003", "", {}, {""}};

// clang-format off
const FaultPath kPaths[] = {
    {"FirstScanCreatesFinalProduct", "240101", {}, kBoard},
    {"SecondCodeOfADevice", "240101", {kBoard}, {"#2K2", "P24200002"}},
    {"NewComponentAfterTheFirst", "240101", {kBoard}, {kNt, "P24200003", "", {}, {"240003"}}},
    {"MissingSerialNumberOfADevice", "240101", {kPowerSupply}, {"#2K0", "", "S12345678"}},
    {"ExternalSerialOfNewDevice", "240101", {}, {kFm, "", "FM24-00999"}},
    {"CodeOnArticleWithoutCodes", "240101", {}, {kFm, "P24200001", "", {MsgAnswer::Yes}, {"FM24-00999"}}},
    {"FreeTestedDevicePlaced", "240101", {}, {kAm, "P24100001"}},
    {"FreeUntestedDevicePlaced", "240101", {}, {kAm, "P24100003", "", {MsgAnswer::Yes}}},
    {"ConversionFromErpHistory", "240104", {}, {"NT-5200-A 0", "P24100010", "", {}, {"P24100010"}}},
    {"SubAssemblyTakenOverWithComponents", "240101", {}, {kBg, "P24100021"}},
    // Committed, then the confirmed follow-up lays out the next assembly: a failure there keeps the scan.
    {"ConfirmedScanStartsNextAssembly", "240101", {}, {kRoot, "P24200009", "", {MsgAnswer::Ok}, {"240002"}}},
};
// clang-format on

class FaultInjectionTest : public WorkflowTest, public ::testing::WithParamInterface<FaultPath> {
protected:
    struct Result {
        QStringList rows, tree, messages;
        int statements = 0;
        int commit = 0;  // the statement that committed the scan; a follow-up shows its own tree after it
    };

    // The database and the window as they are before the scan: the order laid out, the given scans made.
    void Prepare(const FaultPath& path) {
        ResetTestDatabase();
        for (NodeTree& tree : host_.trees) {
            tree.Clear();
        }
        host_.refreshes = 0;
        host_.selectedNodeIndex = QVariant();
        OpenOrder(path.order);
        Given(path.given);
        before_ = {TraceabilityRowsWithoutTimes(), TreeRows(), {}};
    }

    // Runs the scan with statement failAt (counted from 1; 0 for none) failing with code.
    Result Scan(const FaultPath& path, int failAt, int code) {
        Prepare(path);
        // A failed read can lead the follow-up of a recorded scan to a question of its own: the worker says no.
        ::Scan scan = path.scan;
        scan.answers.insert(scan.answers.end(), 3, MsgAnswer::No);
        int sent = 0, commit = 0;
        {
            const StatementFault fault(failAt, code);
            Capture(scan);
            sent = fault.Sent();
            commit = fault.LastCommit();
        }
        const QStringList messages = dialogs_.Messages();
        dialogs_.Forget();
        EXPECT_EQ(host_.status, WorkstationHost::Ready()) << "statement " << failAt << " failing with " << code;
        EXPECT_EQ(AssemblyDbClass::Shared().OpenTransactionCount(), 0);
        return {TraceabilityRowsWithoutTimes(), TreeRows(), messages, sent, commit};
    }

    Result before_;
};

TEST_P(FaultInjectionTest, EveryStatementFailingLeavesTheWholeScanOrNothing) {
    const FaultPath& path = GetParam();
    // The column lengths are read once per process: read before the dry run, so that every run counts the same
    // statements.
    ColumnLimits::MaxLength(ColumnLimits::Column::ProductionCode);
    const Result whole = Scan(path, 0, 0);
    ASSERT_NE(whole.rows, before_.rows) << "the path records something";
    ASSERT_GT(whole.statements, 0);
    int injected = 0, partial = 0;
    for (int failAt = 1; failAt <= whole.statements; ++failAt) {
        for (int code : kStatementFaultCodes) {
            const Result after = Scan(path, failAt, code);
            ++injected;
            const bool nothing = after.rows == before_.rows;
            if (!nothing && after.rows != whole.rows) {
                ++partial;
                QStringList extra, missing;
                for (const QString& row : after.rows) {
                    if (!whole.rows.contains(row))
                        extra << row;
                }
                for (const QString& row : whole.rows) {
                    if (!after.rows.contains(row))
                        missing << row;
                }
                ADD_FAILURE() << "statement " << failAt << " failing with " << code << " left part of the scan: extra "
                              << extra.join(" ; ").toStdString() << " missing " << missing.join(" ; ").toStdString();
                continue;
            }
            if (failAt > whole.commit) {
                // The scan is committed: a failing follow-up neither undoes it nor the screen, nor says it did.
                EXPECT_EQ(after.rows, whole.rows) << "statement " << failAt << " failing with " << code;
                EXPECT_TRUE(after.tree != before_.tree || after.tree == whole.tree)
                    << "statement " << failAt << " failing with " << code;
                EXPECT_FALSE(after.messages.join(' ').contains("Gelöscht"))
                    << "statement " << failAt << " failing with " << code;
                continue;
            }
            // The tree shows the recorded state: as the scan left it, as it was before, or laid out afresh.
            const QStringList& recorded = nothing ? before_.tree : whole.tree;
            EXPECT_TRUE(after.tree == recorded || after.tree == fresh_)
                << "statement " << failAt << " failing with " << code << ": tree\n"
                << after.tree.join(QLatin1Char('\n')).toStdString();
        }
    }
    std::cout << "faults injected: " << injected << ", partial scans: " << partial << " (" << whole.statements
              << " statements)\n";
    EXPECT_EQ(partial, 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, FaultInjectionTest, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
