#include <gtest/gtest.h>

#include "rework/ComponentRemoval.h"
#include "tests/rework/ReworkTestHost.h"
#include "tree/NodeText.h"

namespace {

// Order 770200 builds T-ROOT-A (one production code, one serial number) from two pieces of T-B; the first
// piece holds a T-C. The root device carries only its serial number, the pieces and T-C a code each.
class ReworkComponentRemovalTest : public ReworkTest {
protected:
    void SetUp() override {
        ReworkTest::SetUp();
        AddOrder("770200", "T-ROOT-A01");
        AddHierarchyRow("770200", "T-B", "2");
        AddBillOfMat("T-ROOT-A", 1, 1, 0, false);
        AddBillOfMat("T-B", 1, 0, 0, false);
        AddBillOfMat("T-C", 1, 0, 0, false);
        root_ = AddDevice("T-ROOT-A");
        b1_ = AddDevice("T-B");
        b2_ = AddDevice("T-B");
        c_ = AddDevice("T-C");
        AddRecords(root_, 0, 1);
        for (qint32 devId : {b1_, b2_, c_}) {
            AddRecords(devId, 1);
        }
        rootAss_ = AddAssemblyNumber(root_);
        b1Ass_ = AddAssemblyNumber(b1_);
        b2Ass_ = AddAssemblyNumber(b2_);
        AddMembership(rootAss_, b1Ass_);
        AddMembership(rootAss_, b2Ass_);
        AddMembership(b1Ass_, AddAssemblyNumber(c_));

        host_.paNr[0] = "770200";
        TreeView& tree = host_.Tree();
        tree.CreateNodesForPA("770200");
        tree.InsertDeviceIntoSpecifiedNode(Node("T-ROOT-A 0"), root_);
        tree.InsertDeviceIntoSpecifiedNode(Node("T-B 1"), b1_);
        tree.InsertDeviceIntoSpecifiedNode(Node("T-B 2"), b2_);
        tree.InsertSubAssemblysFromDeviceID(b1_, Node(Key(b1_, 1)));
        for (const QString& key : {Key(b1_, 1), Key(b2_, 2), Key(root_, 0)}) {
            tree.InsertProdcodeCountInNodeWithDeviceIdText(Node(key));
        }
    }

    static QString Key(qint32 devId, int suffix) { return QString("%1K%2").arg(devId).arg(suffix); }
    static QString Question(const QString& artNr) {
        return "Sind Sie sicher, dass Sie die Komponente " + artNr +
               " aus der Zuweisung entfernen möchten ? \r\n Alle untergeordneten Komponenten werden dabei "
               "ebenfalls entfernt. ";
    }
    // The kind of the membership row of a member assembly number.
    static QString MembershipOf(qint32 assNr) {
        return QueryTestRows(
                   "SELECT AssemblyType FROM device_assembly WHERE Device_Assembly = ? AND AssemblyType "
                   "<> 'A'",
                   {assNr})
            .join(",");
    }
    void RemoveWithAnswer(const QString& key, MsgAnswer answer) {
        Nodes().SetSelectedItem(Node(key));
        host_.Tree().SetTreeViewIndex(0);
        dialogs_.QueueAnswer(answer);
        RemoveSelectedComponentFromAssembly(host_);
    }

    qint32 root_ = 0, b1_ = 0, b2_ = 0, c_ = 0;
    qint32 rootAss_ = 0, b1Ass_ = 0, b2Ass_ = 0;
};

}  // namespace

TEST_F(ReworkComponentRemovalTest, RemovesAComponentOnlyWhenTheWorkerConfirms) {
    const QString rootNode = Key(root_, 0);
    ASSERT_EQ(Node(rootNode)->Text(), "T-ROOT-A" + Blanks(17) + "P(3/1) S(1/1)");
    ASSERT_EQ(Node(rootNode)->Image(), "Set");

    RemoveWithAnswer(Key(b1_, 1), MsgAnswer::No);
    EXPECT_EQ(TakeMessages(), QStringList({Question("T-B")}));
    EXPECT_EQ(MembershipOf(b1Ass_), "Z");
    ASSERT_NE(Node(Key(b1_, 1)), nullptr);
    EXPECT_EQ(Node(Key(b1_, 1))->Children(), 1);

    RemoveWithAnswer(Key(b1_, 1), MsgAnswer::Yes);
    EXPECT_EQ(TakeMessages(), QStringList({Question("T-B")}));
    // The membership becomes history; the component keeps what is built into it.
    EXPECT_EQ(MembershipOf(b1Ass_), "D0");
    EXPECT_EQ(MembershipOf(b2Ass_), "Z");
    EXPECT_EQ(QueryTestValue("SELECT AssemblyType FROM device_assembly WHERE AssemblyNum = ? AND AssemblyType = 'Z'",
                             {b1Ass_})
                  .toString(),
              "Z");
    // The node is the expected first piece again, without children.
    TreeNode* slot = Node("T-B 1");
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Text(), ExpectedNodeText("T-B", 1, false, 0, 0, false));
    EXPECT_EQ(slot->Image(), "Unknown");
    EXPECT_EQ(slot->Children(), 0);
    EXPECT_EQ(Node(rootNode)->Text(), "T-ROOT-A" + Blanks(17) + "P(1/1) S(1/1)");
    EXPECT_EQ(host_.Status(), "Bereit");
}

TEST_F(ReworkComponentRemovalTest, BothPiecesComeOffAndTheRootCountersFollow) {
    RemoveWithAnswer(Key(b1_, 1), MsgAnswer::Yes);
    // Reloading the root gave the second piece an instance count as its key.
    TreeNode* second = Node(Key(b2_, 1));
    ASSERT_NE(second, nullptr);
    RemoveWithAnswer(second->Key(), MsgAnswer::Yes);
    EXPECT_EQ(TakeMessages(), QStringList({Question("T-B"), Question("T-B")}));

    EXPECT_EQ(KeysOf(Nodes()), QStringList({Key(root_, 0), "T-B 1", "T-B 2"}));
    EXPECT_EQ(MembershipOf(b2Ass_), "D0");
    // Nothing with a production code is left under the root: its text, image and OK flag say so.
    TreeNode* root = Node(Key(root_, 0));
    EXPECT_EQ(root->Text(), "T-ROOT-A" + Blanks(17) + "P(0/1) S(1/1)");
    EXPECT_EQ(root->Image(), "Unknown");
    EXPECT_EQ(OkFlagOf(root_), 0);
}

TEST_F(ReworkComponentRemovalTest, ANodeWithoutDeviceIsLeftAlone) {
    Nodes().Add(Node(Key(root_, 0)), "T-X 0", ExpectedNodeText("T-X", 1, false, 0, 0, false));
    const QStringList keys = KeysOf(Nodes());
    Nodes().SetSelectedItem(Node("T-X 0"));
    RemoveSelectedComponentFromAssembly(host_);  // no question
    EXPECT_EQ(KeysOf(Nodes()), keys);
    EXPECT_EQ(MembershipOf(b1Ass_), "Z");
}
