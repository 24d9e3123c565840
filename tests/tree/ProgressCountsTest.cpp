#include <gtest/gtest.h>

#include "tests/support/TestDatabase.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"

namespace {

class ProgressCountsTest : public TreeTest {
protected:
    // A recorded device with its own assembly row (OK flag set), shown as a node with the bare article text.
    TreeNode* DeviceNode(TreeNode* parent, const QString& artNr, int prodCodes, int serNrs = 0, int extSerNrs = 0) {
        const qint32 devId = AddDevice(artNr);
        ExecTestSql("UPDATE device_assembly SET OKFlag = 1 WHERE ID = ?", {AddAssemblyNumber(devId)});
        AddRecords(devId, prodCodes, serNrs, extSerNrs);
        return Nodes().Add(parent, QString::number(devId) + "K0", artNr, "Unknown", "Unknown");
    }
};

}  // namespace

TEST_F(ProgressCountsTest, CompletionSetsTextImageAndOkFlag) {
    AddBillOfMat("PC-ONE", 1, 0, 0, false);
    AddBillOfMat("PC-SER", 1, 1, 0, false);
    AddBillOfMat("PC-FULL", 2, 1, 2, true);
    const struct {
        const char* artNr;
        int prodCodes, serNrs, extSerNrs;
        QString text, image;
    } cases[] = {
        {"PC-ONE", 1, 0, 0, "PC-ONE" + Blanks(19) + "P(1/1)", "Set"},
        {"PC-SER", 0, 1, 0, "PC-SER" + Blanks(19) + "P(0/1) S(1/1)", "Unknown"},
        {"PC-NONE", 0, 0, 0, "PC-NONE" + Blanks(18) + "P(0/?)", "HasDev"},  // nothing recorded, nothing expected
        {"PC-NONE", 0, 0, 1, "PC-NONE" + Blanks(18) + "P(0/?)", "Set"},     // nothing expected, something recorded
        {"PC-FULL", 3, 1, 1, "PC-FULL" + Blanks(18) + "P(3/2) S(1/1) F(1/2) T", "Unknown"},
        {"PC-FULL", 3, 1, 2, "PC-FULL" + Blanks(18) + "P(3/2) S(1/1) F(2/2) T", "Set"},  // more than expected
    };
    for (const auto& c : cases) {
        TreeNode* node = DeviceNode(nullptr, c.artNr, c.prodCodes, c.serNrs, c.extSerNrs);
        tree_.InsertProdcodeCountInNodeWithDeviceIdText(node);
        EXPECT_EQ(node->Text(), c.text);
        EXPECT_EQ(node->Image(), c.image) << c.text.toStdString();
        EXPECT_EQ(node->SelectedImage(), c.image) << c.text.toStdString();
        EXPECT_EQ(OkFlagOf(DeviceIdOfKey(node->Key())), c.image == "Set" ? 1 : 0) << c.text.toStdString();
    }
}

TEST_F(ProgressCountsTest, ParentCountsTheCodesOfTheDevicesBelow) {
    AddBillOfMat("PC-PARENT", 3, 0, 0, false);
    AddBillOfMat("PC-SUB", 2, 0, 0, false);
    AddBillOfMat("PC-EXP", 4, 0, 0, false);
    TreeNode* parent = DeviceNode(nullptr, "PC-PARENT", 1);
    DeviceNode(parent, "PC-SUB", 2);
    DeviceNode(parent, "PC-SUB", 2);
    const QString expectedText = ExpectedNodeText("PC-EXP", 4, false, 0, 0, false);
    TreeNode* expected = Nodes().Add(parent, "PC-EXP 2", expectedText);
    // A device below an expected node is not counted: the walk skips expected nodes with their subtree.
    DeviceNode(expected, "PC-SUB", 1);

    tree_.InsertProdcodeCountInNodeWithDeviceIdText(parent);
    EXPECT_EQ(parent->Text(), "PC-PARENT" + Blanks(16) + "P(5/3)");
    EXPECT_EQ(parent->Image(), "Set");
    // Expected figures of everything below, expected and device nodes alike.
    EXPECT_EQ(tree_.CountPreviousProdCodesAquiredInTree(parent), 2 + 2 + 4 + 2);
    // An expected node is left alone.
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(expected);
    EXPECT_EQ(expected->Text(), expectedText);
}
