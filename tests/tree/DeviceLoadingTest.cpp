#include <gtest/gtest.h>

#include "shell/VelkorError.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/tree/TestTexts.h"
#include "tests/tree/TestTreeHost.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeText.h"
#include "tree/TreeView.h"

namespace {

QString Key(qint32 devId, int instance) {
    return QString::number(devId) + "K" + QString::number(instance);
}

// A recorded device of three levels: DL-ROOT-A holds DL-B (which holds DL-C) and DL-D.
// The order 770100 expects DL-B once and DL-X twice; DL-C and DL-D have no expected node.
class DeviceLoadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestDatabase();
        AddOrder("770100", "DL-ROOT-A01");
        AddBillOfMat("DL-ROOT-A", 1, 1, 0, false);
        AddBillOfMat("DL-B", 1, 0, 0, false);
        AddBillOfMat("DL-C", 1, 0, 0, false);
        AddBillOfMat("DL-X", 1, 0, 0, false);
        AddHierarchyRow("770100", "DL-B", "1");
        AddHierarchyRow("770100", "DL-X", "2");

        root_ = AddDevice("DL-ROOT-A");
        b_ = AddDevice("DL-B");
        c_ = AddDevice("DL-C");
        d_ = AddDevice("DL-D");
        rootAss_ = AddAssemblyNumber(root_);
        bAss_ = AddAssemblyNumber(b_);
        cAss_ = AddAssemblyNumber(c_);
        dAss_ = AddAssemblyNumber(d_);
        AddMembership(rootAss_, bAss_);
        AddMembership(bAss_, cAss_);
        AddMembership(rootAss_, dAss_);
        AddProdCode(root_, "P77010001");
        AddProdCode(b_, "P77010002");
        AddProdCode(c_, "P77010003");
        AddProdCode(c_, "P77010004");
        host_.paNrText = "770100";
    }

    NodeTree& Nodes() { return host_.trees[0]; }
    TreeNode* Node(const QString& key) { return Nodes().Item(key); }
    TreeNode* Node(qint32 devId, int instance) { return Nodes().Item(Key(devId, instance)); }

    // The order structure with the root device placed into the root and its records loaded.
    TreeNode* LoadIntoOrderStructure() {
        tree_.CreateNodesForPA("770100");
        TreeNode* root = Node("DL-ROOT-A 0");
        tree_.InsertDeviceIntoSpecifiedNode(root, root_);
        tree_.InsertSubAssemblysFromDeviceID(root_, root);
        tree_.InsertProdcodeCountInNodeWithDeviceIdText(root);
        return root;
    }

    TestTreeHost host_;
    TreeView tree_{host_};
    qint32 root_ = 0, b_ = 0, c_ = 0, d_ = 0;
    qint32 rootAss_ = 0, bAss_ = 0, cAss_ = 0, dAss_ = 0;
};

}  // namespace

TEST_F(DeviceLoadingTest, LoadsARecordedDeviceIntoTheOrderStructure) {
    ScriptedDialogs dialogs;
    TreeNode* root = LoadIntoOrderStructure();

    EXPECT_EQ(root->Key(), Key(root_, 0));
    // DL-B takes its expected node; DL-C and DL-D have none and are added below their parents.
    TreeNode* b = Node(b_, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Parent(), root);
    EXPECT_EQ(Node("DL-B 2"), nullptr);
    TreeNode* c = Node(c_, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Parent(), b);
    TreeNode* d = Node(d_, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Parent(), root);
    EXPECT_NE(Node("DL-X 1"), nullptr);
    EXPECT_NE(Node("DL-X 2"), nullptr);
    EXPECT_EQ(Nodes().Count(), 6);

    // Counters: children first, parents see the codes below them.
    EXPECT_EQ(c->Text(), "DL-C" + Blanks(21) + "P(2/1)");
    EXPECT_EQ(c->Image(), "Set");
    EXPECT_EQ(b->Text(), "DL-B" + Blanks(21) + "P(3/1)");
    EXPECT_EQ(b->Image(), "Set");
    EXPECT_EQ(d->Text(), "DL-D" + Blanks(21) + "P(0/?)");
    EXPECT_EQ(d->Image(), "HasDev");
    EXPECT_EQ(root->Text(), "DL-ROOT-A" + Blanks(16) + "P(4/1) S(0/1)");
    EXPECT_EQ(root->Image(), "Unknown");
    EXPECT_TRUE(b->Expanded());
    EXPECT_TRUE(c->Expanded());
    EXPECT_EQ(OkFlagOf(c_), 1);
    EXPECT_EQ(OkFlagOf(b_), 1);
    EXPECT_EQ(OkFlagOf(d_), 0);
    EXPECT_EQ(OkFlagOf(root_), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(DeviceLoadingTest, LoadsIntoABareRootAndASecondTimeWithHigherInstances) {
    TreeNode* root = tree_.CreateRootDevice("DL-ROOT-A");
    tree_.InsertDeviceIntoSpecifiedNode(root, root_);
    tree_.InsertSubAssemblysFromDeviceID(root_, root);

    ASSERT_NE(Node(b_, 0), nullptr);
    EXPECT_EQ(Node(b_, 0)->Parent(), root);
    EXPECT_EQ(Node(c_, 0)->Parent(), Node(b_, 0));
    EXPECT_EQ(Node(d_, 0)->Parent(), root);
    EXPECT_EQ(GetArtNrFromNodeText(Node(b_, 0)->Text()), "DL-B");
    EXPECT_EQ(Node(b_, 0)->Text(), "DL-B" + Blanks(21) + "P(3/1)");
    EXPECT_EQ(Nodes().Count(), 4);

    // The second run finds every device by its ID and counts its instance up instead of adding nodes.
    tree_.InsertSubAssemblysFromDeviceID(root_, root);
    EXPECT_EQ(Nodes().Count(), 4);
    EXPECT_EQ(Node(b_, 0), nullptr);
    ASSERT_NE(Node(b_, 1), nullptr);
    ASSERT_NE(Node(c_, 1), nullptr);
    ASSERT_NE(Node(d_, 1), nullptr);
    EXPECT_EQ(Node(c_, 1)->Parent(), Node(b_, 1));
    EXPECT_EQ(Node(b_, 1)->Text(), "DL-B" + Blanks(21) + "P(3/1)");
}

TEST_F(DeviceLoadingTest, ACycleInTheRecordsLoadsEachDeviceOnce) {
    AddMembership(cAss_, rootAss_);  // the root is recorded as a member of its own grandchild
    AddMembership(bAss_, bAss_);     // and DL-B as a member of itself
    TreeNode* root = tree_.CreateRootDevice("DL-ROOT-A");
    tree_.InsertDeviceIntoSpecifiedNode(root, root_);
    tree_.InsertSubAssemblysFromDeviceID(root_, root);

    EXPECT_EQ(Nodes().Count(), 4);
    EXPECT_EQ(root->Key(), Key(root_, 0));
    EXPECT_NE(Node(b_, 0), nullptr);
    EXPECT_NE(Node(c_, 0), nullptr);
    EXPECT_EQ(Node(c_, 0)->Children(), 0);
}

TEST_F(DeviceLoadingTest, PlacingADeviceKeepsThePieceDigitOfAnExpectedPiece) {
    TreeNode* root = Nodes().Add(nullptr, "ART-9 0", ExpectedNodeText("ART-9", 1, false, 0, 0, false));
    TreeNode* piece = Nodes().Add(root, "ART-9 3", ExpectedNodeText("ART-9", 1, false, 0, 0, false));
    TreeNode* bigPiece = Nodes().Add(root, "ART-9 12", ExpectedNodeText("ART-9", 1, false, 0, 0, false));
    TreeNode* otherText = Nodes().Add(root, "ART-9 4", ExpectedNodeText("ART-8", 1, false, 0, 0, false));

    tree_.InsertDeviceIntoSpecifiedNode(piece, 815);
    EXPECT_EQ(piece->Key(), "815K3");
    EXPECT_TRUE(piece->Expanded());
    tree_.InsertDeviceIntoSpecifiedNode(root, 816);
    EXPECT_EQ(root->Key(), "816K0");
    tree_.InsertDeviceIntoSpecifiedNode(bigPiece, 817);
    EXPECT_EQ(bigPiece->Key(), "817K0");
    tree_.InsertDeviceIntoSpecifiedNode(otherText, 818);
    EXPECT_EQ(otherText->Key(), "818K0");
    // Text and image stay for the caller to bring up to date.
    EXPECT_EQ(GetArtNrFromNodeText(piece->Text()), "ART-9");
    EXPECT_EQ(piece->Image(), "");

    // One device in two nodes is refused; no device is no device.
    TreeNode* another = Nodes().Add(root, "ART-7 3", ExpectedNodeText("ART-7", 1, false, 0, 0, false));
    EXPECT_THROW(tree_.InsertDeviceIntoSpecifiedNode(another, 815), VelkorError);
    EXPECT_EQ(another->Key(), "ART-7 3");
    EXPECT_THROW(tree_.InsertDeviceIntoSpecifiedNode(another, 0), VelkorError);
}

TEST_F(DeviceLoadingTest, RecordsTheMembershipOfANodeInItsParentsDevice) {
    ScriptedDialogs dialogs;
    const qint32 newRoot = AddDevice("DL-ROOT-A");
    const qint32 newChild = AddDevice("DL-B");
    tree_.CreateNodesForPA("770100");
    TreeNode* root = Node("DL-ROOT-A 0");
    TreeNode* child = Node("DL-B 2");
    TreeNode* expectedPiece = Node("DL-X 1");

    // An expected node has no device: reported, nothing written.
    const int rowsBefore = CountTestRows("device_assembly");
    EXPECT_FALSE(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(expectedPiece).isValid());
    EXPECT_EQ(dialogs.Messages(),
              QStringList({"Error 10032 (Node Has no Device Entry) in procedure "
                           "InsertNewDeviceIntoAssembledDevicesInTreeView of Klassenmodul TreeView"}));
    EXPECT_EQ(CountTestRows("device_assembly"), rowsBefore);

    // A child whose parent device has no assembly number yet: both get one, the link joins them.
    tree_.InsertDeviceIntoSpecifiedNode(root, newRoot);
    tree_.InsertDeviceIntoSpecifiedNode(child, newChild);
    const QVariant childAss = tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child);
    ASSERT_TRUE(childAss.isValid());
    const QVariant rootAss = QueryTestValue(
        "SELECT AssemblyNum FROM device_assembly WHERE AssemblyType = 'A' AND Device_Assembly = ?", {newRoot});
    ASSERT_TRUE(rootAss.isValid());
    EXPECT_EQ(QueryTestRows("SELECT AssemblyNum, Device_Assembly FROM device_assembly WHERE AssemblyType = 'Z' AND "
                            "Device_Assembly = ?",
                            {childAss.toInt()}),
              QStringList({rootAss.toString() + "|" + childAss.toString()}));
    EXPECT_EQ(QueryTestValue("SELECT MasterProdOrder FROM device_assembly WHERE AssemblyType = 'A' AND "
                             "Device_Assembly = ?",
                             {newChild})
                  .toInt(),
              770100);

    // The root: its existing assembly number, no link.
    const int linksBefore = CountTestRows("device_assembly", "AssemblyType = 'Z'");
    EXPECT_EQ(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(root).toInt(), rootAss.toInt());
    // The child again: the link exists already.
    EXPECT_EQ(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child).toInt(), childAss.toInt());
    EXPECT_EQ(CountTestRows("device_assembly", "AssemblyType = 'Z'"), linksBefore);
    EXPECT_EQ(dialogs.Messages().size(), 1);
}

TEST_F(DeviceLoadingTest, ADeviceBelowAnExpectedNodeIsReportedNotLinked) {
    ScriptedDialogs dialogs;
    const qint32 loose = AddDevice("DL-B");
    tree_.CreateNodesForPA("770100");
    TreeNode* child = Node("DL-B 2");
    tree_.InsertDeviceIntoSpecifiedNode(child, loose);
    const int linksBefore = CountTestRows("device_assembly", "AssemblyType = 'Z'");

    EXPECT_FALSE(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child).isValid());
    ASSERT_FALSE(dialogs.Messages().isEmpty());
    EXPECT_TRUE(dialogs.Messages().back().endsWith(
        "in procedure InsertNewDeviceIntoAssembledDevicesInTreeView of Klassenmodul TreeView"));
    EXPECT_EQ(CountTestRows("device_assembly", "AssemblyType = 'Z'"), linksBefore);
}

TEST_F(DeviceLoadingTest, ClearingADeviceLeavesAnExpectedNodeAndReloadsTheRoot) {
    TreeNode* root = LoadIntoOrderStructure();
    TreeNode* b = Node(b_, 0);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Children(), 1);
    // The caller removes the membership first.
    ExecTestSql("UPDATE device_assembly SET AssemblyType = 'D0' WHERE AssemblyType = 'Z' AND Device_Assembly = ?",
                {bAss_});

    tree_.ClearDeviceInNode(b);
    EXPECT_EQ(b->Key(), "DL-B 0");
    EXPECT_EQ(b->Text(), "DL-B" + Blanks(21) + " P(0/1)");
    EXPECT_EQ(b->Image(), "Unknown");
    EXPECT_EQ(b->SelectedImage(), "Unknown");
    EXPECT_EQ(b->Children(), 0);
    EXPECT_EQ(Node(c_, 0), nullptr);
    // What is still recorded under the root is shown again, and the root's counters follow.
    EXPECT_EQ(Node(d_, 0), nullptr);
    EXPECT_NE(Node(d_, 1), nullptr);
    EXPECT_EQ(root->Text(), "DL-ROOT-A" + Blanks(16) + "P(1/1) S(0/1)");

    // A device whose article is ART-9 leaves a node keyed ART-9 0 whatever its piece was.
    TreeNode* piece = Nodes().Add(root, "815K2", ExpectedNodeText("DL-X", 1, false, 0, 0, false));
    Nodes().Add(piece, "816K0", "DL-C");
    tree_.ClearDeviceInNode(piece);
    EXPECT_EQ(piece->Key(), "DL-X 0");
    EXPECT_EQ(piece->Children(), 0);
}
