#include <gtest/gtest.h>

#include <QSet>

#include "tests/support/ScriptedDialogs.h"
#include "tests/tree/TreeTestData.h"

using OrderStructureTest = TreeTest;

TEST_F(OrderStructureTest, BuildsRootAndOnePieceNodePerCapturedComponent) {
    ScriptedDialogs dialogs;
    AddOrder("770001", "OT-MAIN-A01");
    AddBillOfMat("OT-MAIN-A", 1, 1, 0, false);
    const struct {
        const char* artNr;
        const char* subCount;
        int prodCodes, serNrs, extSerNrs;
        bool test;
    } components[] = {
        {"OT-LP", "3", 2, 0, 0, false},      // pieces 1..3
        {"OT-NT ", "1", 1, 1, 2, true},      // serial numbers: suffix 0
        {"OT-RM", "1", 1, 0, 0, false},      // a single piece without: suffix 2
        {"OT-GS", "1", 0, 0, 0, false},      // nothing to capture: skipped
        {"OT-ZERO", "0", 1, 0, 0, false},    // like a single piece
        {"OT-TEST", "1", 0, 0, 0, true},     // only the test to capture
        {"OT-FRAC", "2.5", 1, 0, 0, false},  // whole pieces only
        {"OT-LP", "2", 2, 0, 0, false},      // named again: its pieces go on from 4
        {"OT-RM", "1", 1, 0, 0, false},      // named again after a single piece "2": the next free piece
    };
    QSet<QString> withBillOfMat;
    for (const auto& c : components) {
        if (!withBillOfMat.contains(c.artNr)) {
            withBillOfMat.insert(c.artNr);
            AddBillOfMat(c.artNr, c.prodCodes, c.serNrs, c.extSerNrs, c.test);
        }
        AddHierarchyRow("770001", c.artNr, c.subCount);
    }
    AddHierarchyRow("770001", "OT-WP", "2");  // no bill-of-materials row at all: skipped
    AddHierarchyRow("770002", "OT-RM", "1");  // another order

    Nodes().Add(nullptr, "OLD 0", "OLD");  // whatever the tree showed before is replaced
    tree_.CreateNodesForPA("770001");

    EXPECT_EQ(KeysOf(Nodes()),
              QStringList({"OT-MAIN-A 0", "OT-LP 1", "OT-LP 2", "OT-LP 3", "OT-NT 0", "OT-RM 2", "OT-ZERO 2",
                           "OT-TEST 2", "OT-FRAC 1", "OT-FRAC 2", "OT-LP 4", "OT-LP 5", "OT-RM 3"}));
    TreeNode* root = Node("OT-MAIN-A 0");
    EXPECT_EQ(root->Children(), 12);
    EXPECT_EQ(root->Text(), "OT-MAIN-A" + Blanks(16) + " P(0/1) S(0/1)");
    EXPECT_EQ(Node("OT-LP 3")->Text(), "OT-LP" + Blanks(20) + " P(0/2)");
    EXPECT_EQ(Node("OT-NT 0")->Text(), "OT-NT" + Blanks(20) + " P(0/1) S(0/1) F(0/2) T");
    EXPECT_EQ(Node("OT-TEST 2")->Image(), "Unknown");
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(OrderStructureTest, MissingFlagsMessageComesBeforeTheInvalidOrderMessage) {
    const QString noFlags =
        "Dieser Artikel beinhaltet keine @? Flags in der KHK Stückliste. Bitte die Stückliste entspechend Korrigieren";
    const QString invalid = "Ungültiger Produktionsauftrag";
    ScriptedDialogs dialogs;
    AddOrder("770010", "OT-NOFLAG01");  // an article without any bill-of-materials figure
    Nodes().Add(nullptr, "OLD 0", "OLD");
    tree_.CreateNodesForPA("770010");
    tree_.CreateNodesForPA("779999");  // an unknown order: the empty article has no flags either
    EXPECT_EQ(Nodes().Count(), 0);

    // Only when the empty article has figures does the order count as invalid; a product code of two
    // characters leaves no article either.
    AddBillOfMat("", 1, 0, 0, false);
    AddOrder("770011", "XY");
    tree_.CreateNodesForPA("779999");
    tree_.CreateNodesForPA("770011");
    Nodes().Add(nullptr, "OLD 0", "OLD");
    EXPECT_EQ(tree_.CreateRootDevice(""), nullptr);
    EXPECT_EQ(Nodes().Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList({noFlags, noFlags, invalid, invalid, invalid}));
}
