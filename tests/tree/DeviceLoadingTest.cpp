#include <gtest/gtest.h>

#include "shell/VelkorError.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeText.h"

namespace {

// A recorded device of three levels: DL-ROOT-A holds DL-B (which holds DL-C) and DL-D.
// The order 770100 expects DL-B once and DL-X twice; DL-C and DL-D have no expected node.
class DeviceLoadingTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        AddOrder("770100", "DL-ROOT-A01");
        AddBillOfMat("DL-ROOT-A", 1, 1, 0, false);
        for (const char* artNr : {"DL-B", "DL-C", "DL-X"}) {
            AddBillOfMat(artNr, 1, 0, 0, false);
        }
        AddHierarchyRow("770100", "DL-B", "1");
        AddHierarchyRow("770100", "DL-X", "2");
        for (const char* artNr : {"DL-ROOT-A", "DL-B", "DL-C", "DL-D"}) {
            devIds_.append(AddDevice(artNr));
            assNrs_.append(AddAssemblyNumber(devIds_.back()));
        }
        AddMembership(assNrs_[0], assNrs_[1]);
        AddMembership(assNrs_[1], assNrs_[2]);
        AddMembership(assNrs_[0], assNrs_[3]);
        AddRecords(devIds_[0], 1);
        AddRecords(devIds_[1], 1);
        AddRecords(devIds_[2], 2);
        host_.paNrText = "770100";
    }

    // The key and node of a recorded device (0 root, 1 DL-B, 2 DL-C, 3 DL-D) in its n-th instance.
    QString Key(int device, int instance = 0) { return QString("%1K%2").arg(devIds_[device]).arg(instance); }
    TreeNode* Dev(int device, int instance = 0) { return Node(Key(device, instance)); }
    TreeNode* LoadRootDevice(TreeNode* root) {
        tree_.InsertDeviceIntoSpecifiedNode(root, devIds_[0]);
        tree_.InsertSubAssemblysFromDeviceID(devIds_[0], root);
        return root;
    }

    QList<qint32> devIds_, assNrs_;
};

}  // namespace

TEST_F(DeviceLoadingTest, LoadsARecordedDeviceIntoTheOrderStructure) {
    ScriptedDialogs dialogs;
    tree_.CreateNodesForPA("770100");
    TreeNode* root = LoadRootDevice(Node("DL-ROOT-A 0"));
    tree_.InsertProdcodeCountInNodeWithDeviceIdText(root);

    // DL-B takes its expected node; DL-C and DL-D have none and are added below their parents.
    ASSERT_EQ(KeysOf(Nodes()), QStringList({Key(0), Key(1), "DL-X 1", "DL-X 2", Key(2), Key(3)}));
    EXPECT_EQ(Dev(1)->Parent(), root);
    EXPECT_EQ(Dev(2)->Parent(), Dev(1));
    EXPECT_EQ(Dev(3)->Parent(), root);

    // Counters: children first, parents see the codes below them.
    EXPECT_EQ(Dev(2)->Text(), "DL-C" + Blanks(21) + "P(2/1)");
    EXPECT_EQ(Dev(1)->Text(), "DL-B" + Blanks(21) + "P(3/1)");
    EXPECT_EQ(Dev(1)->Image(), "Set");
    EXPECT_EQ(Dev(3)->Image(), "HasDev");
    EXPECT_EQ(root->Text(), "DL-ROOT-A" + Blanks(16) + "P(4/1) S(0/1)");
    EXPECT_EQ(root->Image(), "Unknown");
    EXPECT_EQ(OkFlagOf(devIds_[1]), 1);
    EXPECT_EQ(OkFlagOf(devIds_[0]), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(DeviceLoadingTest, LoadsIntoABareRootAndASecondTimeWithHigherInstances) {
    TreeNode* root = LoadRootDevice(tree_.CreateRootDevice("DL-ROOT-A"));
    ASSERT_EQ(KeysOf(Nodes()), QStringList({Key(0), Key(1), Key(2), Key(3)}));
    EXPECT_EQ(Dev(1)->Parent(), root);
    EXPECT_EQ(Dev(2)->Parent(), Dev(1));
    EXPECT_EQ(Dev(3)->Parent(), root);
    EXPECT_EQ(Dev(1)->Text(), "DL-B" + Blanks(21) + "P(3/1)");

    // The second run finds every device by its ID and counts its instance up instead of adding nodes.
    tree_.InsertSubAssemblysFromDeviceID(devIds_[0], root);
    ASSERT_EQ(KeysOf(Nodes()), QStringList({Key(0), Key(1, 1), Key(2, 1), Key(3, 1)}));
    EXPECT_EQ(Dev(2, 1)->Parent(), Dev(1, 1));
}

TEST_F(DeviceLoadingTest, ACycleInTheRecordsLoadsEachDeviceOnce) {
    AddMembership(assNrs_[2], assNrs_[0]);  // the root is recorded as a member of its own grandchild
    AddMembership(assNrs_[1], assNrs_[1]);  // and DL-B as a member of itself
    LoadRootDevice(tree_.CreateRootDevice("DL-ROOT-A"));
    ASSERT_EQ(KeysOf(Nodes()), QStringList({Key(0), Key(1), Key(2), Key(3)}));
    EXPECT_EQ(Dev(2)->Children(), 0);
}

TEST_F(DeviceLoadingTest, PlacingADeviceKeepsOnlyTheDigitOfAnExpectedPiece) {
    TreeNode* root = Nodes().Add(nullptr, "ART-9 0", ExpectedNodeText("ART-9", 1, false, 0, 0, false));
    const struct {
        const char *key, *artNr;
        qint32 devId;
        const char* deviceKey;
    } cases[] = {
        {"ART-9 3", "ART-9", 815, "815K3"}, {"ART-9 12", "ART-9", 817, "817K0"}, {"ART-9 4", "ART-8", 818, "818K0"}};
    for (const auto& c : cases) {
        TreeNode* node = Nodes().Add(root, c.key, ExpectedNodeText(c.artNr, 1, false, 0, 0, false));
        tree_.InsertDeviceIntoSpecifiedNode(node, c.devId);
        EXPECT_EQ(node->Key(), c.deviceKey);
    }
    EXPECT_THROW(tree_.InsertDeviceIntoSpecifiedNode(root, 0), VelkorError);
    EXPECT_EQ(root->Key(), "ART-9 0");
}

TEST_F(DeviceLoadingTest, RecordsTheMembershipOfANodeInItsParentsDevice) {
    ScriptedDialogs dialogs;
    const qint32 newRoot = AddDevice("DL-ROOT-A"), newChild = AddDevice("DL-B");
    tree_.CreateNodesForPA("770100");
    TreeNode* root = Node("DL-ROOT-A 0");
    TreeNode* child = Node("DL-B 2");
    const auto links = [] { return CountTestRows("device_assembly", "AssemblyType = 'Z'"); };
    const int linksBefore = links();

    // A node without a device, or below one without a device: reported, nothing linked.
    EXPECT_FALSE(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child).isValid());
    tree_.InsertDeviceIntoSpecifiedNode(child, newChild);
    EXPECT_FALSE(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child).isValid());
    EXPECT_EQ(dialogs.Messages().first(),
              "Error 10032 (Node Has no Device Entry) in procedure InsertNewDeviceIntoAssembledDevicesInTreeView of "
              "Klassenmodul TreeView");
    EXPECT_EQ(links(), linksBefore);

    // A parent that shows a device that is not recorded (its creation undone): the operation ends, nothing is
    // written for it.
    dialogs.Forget();
    tree_.InsertDeviceIntoSpecifiedNode(root, 999999);
    try {
        tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child);
        ADD_FAILURE() << "no error";
    } catch (const VelkorError& error) {
        EXPECT_EQ(error.Number(), TreeView::kShownDeviceNotRecorded);
        EXPECT_EQ(error.Description(),
                  "Das angezeigte Gerät 999999 ist nicht erfasst. Der Vorgang wird Gelöscht; die "
                  "Anzeige wird neu geladen.");
    }
    EXPECT_EQ(dialogs.Messages(), QStringList());
    EXPECT_EQ(CountTestRows("device_assembly", "Device_Assembly = 999999"), 0);
    EXPECT_EQ(links(), linksBefore);

    // Once the parent holds a device it gets an assembly number (for the entered order) and the link joins them.
    tree_.InsertDeviceIntoSpecifiedNode(root, newRoot);
    const QVariant childAss = tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child);
    const QVariant rootAss = tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(root);
    ASSERT_TRUE(childAss.isValid() && rootAss.isValid());
    EXPECT_EQ(QueryTestRows("SELECT AssemblyNum FROM device_assembly WHERE AssemblyType = 'Z' AND Device_Assembly = ?",
                            {childAss}),
              QStringList({rootAss.toString()}));
    EXPECT_EQ(QueryTestValue("SELECT MasterProdOrder FROM device_assembly WHERE AssemblyType = 'A' AND AssemblyNum = ?",
                             {rootAss})
                  .toInt(),
              770100);
    // A second time: the same number, no second link.
    EXPECT_EQ(tree_.InsertNewDeviceIntoAssembledDevicesInTreeView(child).toInt(), childAss.toInt());
    EXPECT_EQ(links(), linksBefore + 1);
}

TEST_F(DeviceLoadingTest, ClearingADeviceLeavesAnExpectedNodeAndReloadsTheRoot) {
    tree_.CreateNodesForPA("770100");
    TreeNode* root = LoadRootDevice(Node("DL-ROOT-A 0"));
    TreeNode* b = Dev(1);
    // The caller removes the membership first.
    ExecTestSql("UPDATE device_assembly SET AssemblyType = 'D0' WHERE AssemblyType = 'Z' AND Device_Assembly = ?",
                {assNrs_[1]});

    tree_.ClearDeviceInNode(b);
    EXPECT_EQ(b->Key(), "DL-B 0");
    EXPECT_EQ(b->Text(), "DL-B" + Blanks(21) + " P(0/1)");
    EXPECT_EQ(b->Image(), "Unknown");
    EXPECT_EQ(b->Children(), 0);
    EXPECT_EQ(Dev(2), nullptr);
    // What is still recorded under the root is shown again, and the root's counters follow.
    EXPECT_NE(Dev(3, 1), nullptr);
    EXPECT_EQ(root->Text(), "DL-ROOT-A" + Blanks(16) + "P(1/1) S(0/1)");
}
