#include <gtest/gtest.h>

#include "shell/VelkorError.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/tree/TestTexts.h"
#include "tests/tree/TestTreeHost.h"
#include "tests/tree/TreeTestData.h"
#include "tree/TreeView.h"

namespace {

const char* const kNoFlagsMessage =
    "Dieser Artikel beinhaltet keine @? Flags in der KHK Stückliste. Bitte die Stückliste entspechend Korrigieren";
const char* const kInvalidOrderMessage = "Ungültiger Produktionsauftrag";

class OrderStructureTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }

    NodeTree& Nodes() { return host_.trees[0]; }
    QStringList Keys() {
        QStringList keys;
        for (int index = 0; index < Nodes().Count(); ++index) {
            keys.append(Nodes().Item(index)->Key());
        }
        return keys;
    }

    TestTreeHost host_;
    TreeView tree_{host_};
};

}  // namespace

TEST_F(OrderStructureTest, BuildsRootAndOnePieceNodePerCapturedComponent) {
    ScriptedDialogs dialogs;
    AddOrder("770001", "OT-MAIN-A01");
    AddBillOfMat("OT-MAIN-A", 1, 1, 0, false);
    AddBillOfMat("OT-LP", 2, 0, 0, false);
    AddBillOfMat("OT-NT", 1, 1, 2, true);
    AddBillOfMat("OT-RM", 1, 0, 0, false);
    AddBillOfMat("OT-GS", 0, 0, 0, false);
    AddBillOfMat("OT-ZERO", 1, 0, 0, false);
    AddBillOfMat("OT-TEST", 0, 0, 0, true);
    AddBillOfMat("OT-FRAC", 1, 0, 0, false);
    AddHierarchyRow("770001", "OT-LP", "3");
    AddHierarchyRow("770001", "OT-NT ", "1");
    AddHierarchyRow("770001", "OT-RM", "1");
    AddHierarchyRow("770001", "OT-GS", "1");    // nothing to capture
    AddHierarchyRow("770001", "OT-WP", "2");    // no bill-of-materials row at all
    AddHierarchyRow("770001", "OT-ZERO", "0");  // like a single piece
    AddHierarchyRow("770001", "OT-TEST", "1");
    AddHierarchyRow("770001", "OT-FRAC", "2.5");  // whole pieces only
    AddHierarchyRow("770002", "OT-RM", "1");      // another order

    // Whatever the tree showed before is replaced.
    Nodes().Add(nullptr, "OLD 0", "OLD");
    tree_.CreateNodesForPA("770001");

    EXPECT_EQ(Keys(), QStringList({"OT-MAIN-A 0", "OT-LP 1", "OT-LP 2", "OT-LP 3", "OT-NT 0", "OT-RM 2", "OT-ZERO 2",
                                   "OT-TEST 2", "OT-FRAC 1", "OT-FRAC 2"}));
    TreeNode* root = Nodes().Item("OT-MAIN-A 0");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Parent(), nullptr);
    EXPECT_EQ(root->Children(), 9);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(root->Text(), "OT-MAIN-A" + Blanks(16) + " P(0/1) S(0/1)");
    EXPECT_EQ(Nodes().Item("OT-LP 2")->Text(), "OT-LP" + Blanks(20) + " P(0/2)");
    EXPECT_EQ(Nodes().Item("OT-LP 3")->Text(), Nodes().Item("OT-LP 1")->Text());
    EXPECT_TRUE(Nodes().Item("OT-LP 3")->Expanded());
    EXPECT_EQ(Nodes().Item("OT-NT 0")->Text(), "OT-NT" + Blanks(20) + " P(0/1) S(0/1) F(0/2) T");
    EXPECT_EQ(Nodes().Item("OT-TEST 2")->Text(), "OT-TEST" + Blanks(18) + " P(0/0) T");
    for (int index = 0; index < Nodes().Count(); ++index) {
        EXPECT_EQ(Nodes().Item(index)->Image(), "Unknown");
        EXPECT_EQ(Nodes().Item(index)->SelectedImage(), "Unknown");
    }
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(OrderStructureTest, MissingFlagsMessageComesBeforeTheInvalidOrderMessage) {
    ScriptedDialogs dialogs;
    AddOrder("770010", "OT-NOFLAG01");  // article without any bill-of-materials figure
    Nodes().Add(nullptr, "OLD 0", "OLD");
    tree_.CreateNodesForPA("770010");
    EXPECT_EQ(Nodes().Count(), 0);

    // An unknown order has an empty article, which has no flags either: the flags message wins.
    tree_.CreateNodesForPA("779999");
    EXPECT_EQ(Nodes().Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList({kNoFlagsMessage, kNoFlagsMessage}));
    EXPECT_EQ(dialogs.Entries().back().buttons, MsgButtons::Ok);

    // Only when the empty article has figures does the order count as invalid; a product code of two
    // characters leaves no article either.
    dialogs.Clear();
    AddBillOfMat("", 1, 0, 0, false);
    AddOrder("770011", "XY");
    tree_.CreateNodesForPA("779999");
    tree_.CreateNodesForPA("770011");
    EXPECT_EQ(Nodes().Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList({kInvalidOrderMessage, kInvalidOrderMessage}));
}

TEST_F(OrderStructureTest, RootDeviceAndTextReset) {
    ScriptedDialogs dialogs;
    AddBillOfMat("OT-DEV", 2, 0, 1, false);
    AddBillOfMat("OT-OTHER", 1, 1, 0, true);

    EXPECT_EQ(tree_.CreateRootDevice(""), nullptr);
    EXPECT_EQ(dialogs.Messages(), QStringList({kInvalidOrderMessage}));
    EXPECT_EQ(Nodes().Count(), 0);

    // The article is taken as given: nothing is cut off.
    TreeNode* root = tree_.CreateRootDevice("OT-DEV");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Keys(), QStringList({"OT-DEV 0"}));
    EXPECT_EQ(root->Text(), "OT-DEV" + Blanks(19) + " P(0/2) F(0/1)");
    EXPECT_TRUE(root->Expanded());

    // The text is rewritten for another article; key and image stay.
    root->SetImage("Set");
    root->SetExpanded(false);
    tree_.InsertNewArtNrInToNode(root, "OT-OTHER");
    EXPECT_EQ(root->Text(), "OT-OTHER" + Blanks(17) + " P(0/1) S(0/1) T");
    EXPECT_EQ(root->Key(), "OT-DEV 0");
    EXPECT_EQ(root->Image(), "Set");
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(dialogs.Messages().size(), 1);
}

TEST_F(OrderStructureTest, RepeatedHierarchyRowIsRefusedByTheTree) {
    AddOrder("770020", "OT-REP-A01");
    AddBillOfMat("OT-REP-A", 1, 0, 0, false);
    AddBillOfMat("OT-RM", 1, 0, 0, false);
    AddHierarchyRow("770020", "OT-RM", "1");
    AddHierarchyRow("770020", "OT-RM", "1");

    EXPECT_THROW(tree_.CreateNodesForPA("770020"), VelkorError);
    EXPECT_EQ(Keys(), QStringList({"OT-REP-A 0", "OT-RM 2"}));
}
