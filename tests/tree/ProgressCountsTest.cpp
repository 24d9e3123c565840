#include <gtest/gtest.h>

#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/tree/TestTexts.h"
#include "tests/tree/TestTreeHost.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeText.h"
#include "tree/TreeView.h"

namespace {

class ProgressCountsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestDatabase(); }

    // A recorded device with its own assembly number, shown as a node with the bare article text.
    TreeNode* DeviceNode(TreeNode* parent, const QString& artNr, qint32* devIdOut = nullptr) {
        const qint32 devId = AddDevice(artNr);
        AddAssemblyNumber(devId);
        if (devIdOut != nullptr) {
            *devIdOut = devId;
        }
        return Nodes().Add(parent, QString::number(devId) + "K0", artNr, "Unknown", "Unknown");
    }
    NodeTree& Nodes() { return host_.trees[0]; }

    TestTreeHost host_;
    TreeView tree_{host_};
};

}  // namespace

TEST_F(ProgressCountsTest, CompletionStatesImagesAndFlags) {
    ScriptedDialogs dialogs;
    AddBillOfMat("PC-ONE", 1, 0, 0, false);
    AddBillOfMat("PC-SER", 1, 1, 0, false);
    AddBillOfMat("PC-FULL", 2, 1, 2, true);

    qint32 complete = 0;
    TreeNode* completeNode = DeviceNode(nullptr, "PC-ONE", &complete);
    AddProdCode(complete, "P77020001");
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(completeNode);
    EXPECT_EQ(completeNode->Text(), "PC-ONE" + Blanks(19) + "P(1/1)");
    EXPECT_EQ(completeNode->Image(), "Set");
    EXPECT_EQ(completeNode->SelectedImage(), "Set");
    EXPECT_EQ(OkFlagOf(complete), 1);

    qint32 serialOnly = 0;
    TreeNode* serialNode = DeviceNode(nullptr, "PC-SER", &serialOnly);
    AddSerNr(serialOnly, "S77020001");
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(serialNode);
    EXPECT_EQ(serialNode->Text(), "PC-SER" + Blanks(19) + "P(0/1) S(1/1)");
    EXPECT_EQ(serialNode->Image(), "Unknown");
    EXPECT_EQ(OkFlagOf(serialOnly), 0);

    // Nothing recorded: "HasDev", even for an article that expects nothing.
    qint32 empty = 0;
    TreeNode* emptyNode = DeviceNode(nullptr, "PC-NONE", &empty);
    ExecTestSql("UPDATE device_assembly SET OKFlag = 1 WHERE Device_Assembly = ? AND AssemblyType = 'A'", {empty});
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(emptyNode);
    EXPECT_EQ(emptyNode->Text(), "PC-NONE" + Blanks(18) + "P(0/?)");
    EXPECT_EQ(emptyNode->Image(), "HasDev");
    EXPECT_EQ(OkFlagOf(empty), 0);

    // Nothing expected but something recorded: complete.
    AddSerNr(empty, "S77020002");
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(emptyNode);
    EXPECT_EQ(emptyNode->Text(), "PC-NONE" + Blanks(18) + "P(0/?)");
    EXPECT_EQ(emptyNode->Image(), "Set");
    EXPECT_EQ(OkFlagOf(empty), 1);

    // More recorded than expected still counts as complete; external serials and the test show.
    qint32 full = 0;
    TreeNode* fullNode = DeviceNode(nullptr, "PC-FULL", &full);
    for (const char* code : {"P77020011", "P77020012", "P77020013"}) {
        AddProdCode(full, code);
    }
    AddSerNr(full, "S77020011");
    AddSerNr(full, "E77020011", true);
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(fullNode);
    EXPECT_EQ(fullNode->Text(), "PC-FULL" + Blanks(18) + "P(3/2) S(1/1) F(1/2) T");
    EXPECT_EQ(fullNode->Image(), "Unknown");
    AddSerNr(full, "E77020012", true);
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(fullNode);
    EXPECT_EQ(fullNode->Text(), "PC-FULL" + Blanks(18) + "P(3/2) S(1/1) F(2/2) T");
    EXPECT_EQ(fullNode->Image(), "Set");
    EXPECT_EQ(OkFlagOf(full), 1);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(ProgressCountsTest, ParentCountsTheCodesOfTheDevicesBelow) {
    AddBillOfMat("PC-PARENT", 3, 0, 0, false);
    AddBillOfMat("PC-SUB", 2, 0, 0, false);
    AddBillOfMat("PC-EXP", 4, 0, 0, false);
    qint32 parent = 0, first = 0, second = 0, grandChild = 0;
    TreeNode* parentNode = DeviceNode(nullptr, "PC-PARENT", &parent);
    TreeNode* firstNode = DeviceNode(parentNode, "PC-SUB", &first);
    DeviceNode(parentNode, "PC-SUB", &second);
    TreeNode* expected = Nodes().Add(parentNode, "PC-EXP 2", ExpectedNodeText("PC-EXP", 4, false, 0, 0, false));
    // A device below an expected node is not counted: the walk skips expected nodes with their subtree.
    DeviceNode(expected, "PC-SUB", &grandChild);
    AddProdCode(parent, "P77030001");
    AddProdCode(first, "P77030002");
    AddProdCode(first, "P77030003");
    AddProdCode(second, "P77030004");
    AddProdCode(second, "P77030005");
    AddProdCode(grandChild, "P77030006");

    EXPECT_EQ(tree_.CountPreviousProdCodesInTree(parentNode), 4);
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(parentNode);
    EXPECT_EQ(parentNode->Text(), "PC-PARENT" + Blanks(16) + "P(5/3)");
    EXPECT_EQ(parentNode->Image(), "Set");

    // Expected figures of everything below, expected and device nodes alike.
    EXPECT_EQ(tree_.CountPreviousProdCodesAquiredInTree(parentNode), 2 + 2 + 4 + 2);
    EXPECT_EQ(tree_.CountPreviousProdCodesAquiredInTree(firstNode), 0);

    // Only expected nodes below: nothing recorded below.
    TreeNode* lone = DeviceNode(nullptr, "PC-PARENT");
    Nodes().Add(lone, "PC-EXP 1", ExpectedNodeText("PC-EXP", 4, false, 0, 0, false));
    EXPECT_EQ(tree_.CountPreviousProdCodesInTree(lone), 0);
}

TEST_F(ProgressCountsTest, ExpectedNodesAreLeftAlone) {
    AddBillOfMat("PC-ONE", 1, 0, 0, false);
    const QString text = ExpectedNodeText("PC-ONE", 1, false, 0, 0, false);
    TreeNode* expected = Nodes().Add(nullptr, "PC-ONE 0", text, "Unknown", "Unknown");
    // An article number with a "K" does not pass the node off as a device node.
    TreeNode* withK = Nodes().Add(nullptr, "12K-A 2", "12K-A", "Unknown", "Unknown");
    const QStringList flagsBefore = QueryTestRows("SELECT ID, OKFlag FROM device_assembly ORDER BY ID");

    tree_.InsertProdcodeCountInNodeWithDeviceIdText(expected);
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(withK);
    EXPECT_EQ(expected->Text(), text);
    EXPECT_EQ(expected->Image(), "Unknown");
    EXPECT_EQ(withK->Text(), "12K-A");
    EXPECT_EQ(QueryTestRows("SELECT ID, OKFlag FROM device_assembly ORDER BY ID"), flagsBefore);
}
