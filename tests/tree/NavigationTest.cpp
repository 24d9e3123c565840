#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/VelkorError.h"
#include "tests/tree/TestTexts.h"
#include "tests/tree/TestTreeHost.h"
#include "tree/NodeText.h"
#include "tree/TreeView.h"

namespace {

// A tree built by hand (no database) and a folder of scan-order files for it.
class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousIniDir_ = qgetenv("VELKOR_INI_DIR");
        hadIniDir_ = qEnvironmentVariableIsSet("VELKOR_INI_DIR");
        qputenv("VELKOR_INI_DIR", folder_.path().toUtf8());
    }
    void TearDown() override {
        if (hadIniDir_) {
            qputenv("VELKOR_INI_DIR", previousIniDir_);
        } else {
            qunsetenv("VELKOR_INI_DIR");
        }
    }

    // The scan-order file of the article of the entered order (the order's product code ends in "01").
    void WriteScanOrder(const QString& artNr, const QByteArray& content) {
        QFile file(folder_.filePath(artNr + ".ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        host_.artNrText = artNr + "01";
    }

    TreeNode* Add(TreeNode* parent, const QString& key, const QString& artNr) {
        return Nodes().Add(parent, key, ExpectedNodeText(artNr, 1, false, 0, 0, false), "Unknown", "Unknown");
    }
    NodeTree& Nodes() { return host_.trees[0]; }
    QString Selected() { return Nodes().SelectedItem() ? Nodes().SelectedItem()->Key() : QString("(none)"); }

    QTemporaryDir folder_;
    QByteArray previousIniDir_;
    bool hadIniDir_ = false;
    TestTreeHost host_;
    TreeView tree_{host_};
};

}  // namespace

TEST_F(NavigationTest, StepsThroughPiecesThenToTheRootWithoutConfiguration) {
    TreeNode* root = Add(nullptr, "ROOT 0", "ROOT");
    Add(root, "ART 1", "ART");
    Add(root, "ART 2", "ART");
    Add(root, "ART 3", "ART");
    Add(root, "B 2", "B");

    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("ART 1")), "");
    EXPECT_EQ(Selected(), "ART 2");
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("ART 2")), "");
    EXPECT_EQ(Selected(), "ART 3");
    // After the last piece the empty scan order leads to the first node of the tree.
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("ART 3")), "");
    EXPECT_EQ(Selected(), "ROOT 0");

    // A single piece without serial numbers also ends in 2: piece 3 is looked for first, then the order.
    Nodes().SetSelectedItem(Nodes().Item("B 2"));
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("B 2")), "");
    EXPECT_EQ(Selected(), "ROOT 0");

    // A device placed into a piece keeps the piece digit, so the walk goes on from it.
    Nodes().Item("ART 1")->SetKey("901K1");
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("901K1")), "");
    EXPECT_EQ(Selected(), "ART 2");
}

TEST_F(NavigationTest, FollowsTheScanOrderAndHandsBackKeywords) {
    WriteScanOrder("NAV", "[ScanOrder]\nCount=3\n1=A\n2=B\n3=NewDevice\n");
    TreeNode* root = Add(nullptr, "NAV 0", "NAV");
    Add(root, "C 2", "C");
    Add(root, "A 0", "A");
    Add(root, "B 1", "B");
    Add(root, "B 2", "B");

    // Start of a device: the first entry of the scan order.
    EXPECT_EQ(tree_.SelectNextNode(nullptr), "");
    EXPECT_EQ(Selected(), "A 0");
    // From A (suffix 0, no pieces) to the first node of B.
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("A 0")), "");
    EXPECT_EQ(Selected(), "B 1");
    // A keyword after the current article wins over the pieces left and selects nothing.
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("B 1")), "NewDevice");
    EXPECT_EQ(Selected(), "B 1");
    // An article not listed: the entry after the last (none) leads to the first node.
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("C 2")), "");
    EXPECT_EQ(Selected(), "NAV 0");
}

TEST_F(NavigationTest, EveryKeywordIsHandedBackExactly) {
    TreeNode* root = Add(nullptr, "KW 0", "KW");
    Add(root, "A 0", "A");
    Add(root, "newdevice 0", "newdevice");
    for (const char* keyword : {"NewDevice", "SwapDevice", "NewDeviceWCommit", "SwapDeviceWCommit"}) {
        WriteScanOrder("KW", QByteArray("[ScanOrder]\nCount=2\n1=A\n2=  ") + keyword + "  \n");
        Nodes().SetSelectedItem(Nodes().Item("A 0"));
        EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("A 0")), keyword);
        EXPECT_EQ(Selected(), "A 0");
    }
    // Keywords are compared with letter case: anything else names an article.
    WriteScanOrder("KW", "[ScanOrder]\nCount=2\n1=A\n2=newdevice\n");
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("A 0")), "");
    EXPECT_EQ(Selected(), "newdevice 0");
    // An article without a node leaves the selection where it was.
    WriteScanOrder("KW", "[ScanOrder]\nCount=2\n1=A\n2=FEHLT\n");
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("A 0")), "");
    EXPECT_EQ(Selected(), "newdevice 0");
    // Count missing: counts as 0, so entry 2 follows whatever the article.
    WriteScanOrder("KW", "[ScanOrder]\n1=X\n2=SwapDevice\n");
    EXPECT_EQ(tree_.SelectNextNode(Nodes().Item("A 0")), "SwapDevice");
}

TEST_F(NavigationTest, SearchesMatchArticlesSuffixesAndDevices) {
    TreeNode* root = Add(nullptr, "ROOT 0", "ROOT");
    TreeNode* abc12 = Add(root, "ABC-12 2", "ABC-12");
    TreeNode* abc = Add(root, "ABC 1", "ABC");
    TreeNode* device = Add(root, "901K10", "ABC");
    TreeNode* longerDevice = Add(root, "9012K0", "ABC");
    TreeNode* expected123 = Add(root, "123-X 0", "123-X");

    EXPECT_EQ(tree_.GetNodeWithArtNr("ABC"), abc12);
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC"), abc);
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC-12", 2), abc12);
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC-12", 3), nullptr);
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC", "#"), abc);
    EXPECT_EQ(tree_.GetNodeWithArtNr("XYZ"), nullptr);

    // Expected nodes only: device nodes are skipped in both passes.
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", "1"), abc);
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", "2"), abc12);
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", QVariant()), abc);  // second pass: exact article
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", "7"), abc);         // first pass fails, second finds
    abc->SetKey("55K1");
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", QVariant()), nullptr);

    // Device nodes by their exact device ID, whatever the number of suffix digits.
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("ABC", QVariant(), 901), device);
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("AB", QVariant(), 9012), longerDevice);
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("XYZ", QVariant(), 901), nullptr);
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("ABC", QVariant(), 90), nullptr);

    EXPECT_TRUE(tree_.CheckIfDeviceIDIsAllreadyPresent(901));
    EXPECT_TRUE(tree_.CheckIfDeviceIDIsAllreadyPresent(55));
    EXPECT_FALSE(tree_.CheckIfDeviceIDIsAllreadyPresent(90));   // only 901 and 9012 are shown
    EXPECT_FALSE(tree_.CheckIfDeviceIDIsAllreadyPresent(123));  // an expected node, not a device
    EXPECT_FALSE(tree_.CheckIfDeviceIDIsAllreadyPresent(0));
    (void)expected123;
}

TEST_F(NavigationTest, SelectLastNodeByKeyOrIndex) {
    TreeNode* root = Add(nullptr, "ROOT 0", "ROOT");
    Add(root, "A 0", "A");
    Add(root, "B 2", "B");

    tree_.SelectLastNode(QVariant(QString("B 2")));
    EXPECT_EQ(Selected(), "B 2");
    tree_.SelectLastNode(QVariant(1));
    EXPECT_EQ(Selected(), "A 0");
    tree_.SelectLastNode(QVariant(17));
    tree_.SelectLastNode(QVariant(QString("FEHLT 0")));
    tree_.SelectLastNode(QVariant());
    EXPECT_EQ(Selected(), "A 0");

    // The second tree control is reached through the index.
    tree_.SetTreeViewIndex(1);
    EXPECT_EQ(tree_.GetNodeWithArtNr(""), nullptr);
    tree_.SetTreeViewIndex(2);
    EXPECT_THROW(tree_.GetNodeWithArtNr(""), VelkorError);
    tree_.SetTreeViewIndex(0);
    EXPECT_EQ(tree_.GetNodeWithArtNr(""), root);
}
