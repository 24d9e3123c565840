#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/VelkorError.h"
#include "tests/tree/TreeTestData.h"
#include "tree/NodeText.h"

namespace {

// A tree built by hand (no database) and a folder of scan-order files for it.
class NavigationTest : public TreeTest {
protected:
    void SetUp() override { qputenv("VELKOR_INI_DIR", folder_.path().toUtf8()); }
    void TearDown() override { hadIniDir_ ? qputenv("VELKOR_INI_DIR", iniDir_) : qunsetenv("VELKOR_INI_DIR"); }

    TreeNode* Add(TreeNode* parent, const QString& key, const QString& artNr) {
        return Nodes().Add(parent, key, ExpectedNodeText(artNr, 1, false, 0, 0, false), "Unknown", "Unknown");
    }
    QString Selected() { return Nodes().SelectedItem() ? Nodes().SelectedItem()->Key() : QString("(none)"); }

    QTemporaryDir folder_;
    bool hadIniDir_ = qEnvironmentVariableIsSet("VELKOR_INI_DIR");
    QByteArray iniDir_ = qgetenv("VELKOR_INI_DIR");
};

}  // namespace

TEST_F(NavigationTest, WalksThePiecesThenTheScanOrderAndHandsBackKeywords) {
    TreeNode* root = Add(nullptr, "NAV 0", "NAV");
    for (const char* key : {"A 0", "B 1", "B 2", "C 2", "newdevice 0", "ART 2", "ART 3"}) {
        Add(root, key, QString(key).section(' ', 0, 0));
    }
    Add(root, "901K1", "ART");  // a device placed into piece 1 keeps the piece digit
    const QByteArray order = "[ScanOrder]\nCount=3\n1=A\n2=B\n3=NewDevice\n";
    const struct {
        QByteArray scanOrder;  // empty: the order's article has no configuration file
        const char *from, *keyword, *selected;
    } steps[] = {
        {"", "ART 2", "", "ART 3"},
        {"", "901K1", "", "ART 2"},
        {"", "ART 3", "", "NAV 0"},   // after the last piece the empty scan order leads to the first node
        {"", "B 2", "", "NAV 0"},     // a single piece ends in 2: piece 3 is looked for first
        {order, nullptr, "", "A 0"},  // start of a device: the first entry
        {order, "A 0", "", "B 1"},
        {order, "B 1", "NewDevice", "(none)"},  // a keyword wins over the pieces left
        {order, "C 2", "", "NAV 0"},            // not listed: the entry after the last
        {"[ScanOrder]\nCount=2\n1=A\n2=  NewDevice  \n", "A 0", "NewDevice", "(none)"},
        {"[ScanOrder]\nCount=2\n1=A\n2=SwapDevice\n", "A 0", "SwapDevice", "(none)"},
        {"[ScanOrder]\nCount=2\n1=A\n2=NewDeviceWCommit\n", "A 0", "NewDeviceWCommit", "(none)"},
        {"[ScanOrder]\nCount=2\n1=A\n2=SwapDeviceWCommit\n", "A 0", "SwapDeviceWCommit", "(none)"},
        {"[ScanOrder]\nCount=2\n1=A\n2=newdevice\n", "A 0", "", "newdevice 0"},  // letter case: an article
        {"[ScanOrder]\nCount=2\n1=A\n2=FEHLT\n", "A 0", "", "(none)"},
        {"[ScanOrder]\n1=X\n2=SwapDevice\n", "A 0", "SwapDevice", "(none)"},  // no Count: entry 2 follows
    };
    for (const auto& step : steps) {
        QFile file(folder_.filePath("NAV.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(step.scanOrder);
        file.close();
        host_.artNrText = step.scanOrder.isEmpty() ? "" : "NAV01";
        Nodes().SetSelectedItem(nullptr);
        EXPECT_EQ(tree_.SelectNextNode(step.from ? Node(step.from) : nullptr), step.keyword) << step.from;
        EXPECT_EQ(Selected(), step.selected) << step.scanOrder.constData() << step.from;
    }
}

TEST_F(NavigationTest, SearchesTellExpectedNodesFromDeviceNodes) {
    TreeNode* root = Add(nullptr, "ROOT 0", "ROOT");
    TreeNode* abc12 = Add(root, "ABC-12 2", "ABC-12");
    TreeNode* abc = Add(root, "ABC 1", "ABC");
    Add(root, "901K10", "ABC");
    TreeNode* longerDevice = Add(root, "9012K0", "ABC");

    EXPECT_EQ(tree_.GetNodeWithArtNr("ABC"), abc12);  // the article begins with it
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC"), abc);   // the article equals it
    EXPECT_EQ(tree_.GetNodeWithSuffix("ABC-12", 3), nullptr);
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", "2"), abc12);
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", "7"), abc);  // no such suffix: the exact article
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("AB", QVariant(), 9012), longerDevice);
    EXPECT_EQ(tree_.GetNodeWithDevIdAndArtNr("ABC", QVariant(), 90), nullptr);
    EXPECT_TRUE(tree_.CheckIfDeviceIDIsAllreadyPresent(901));
    EXPECT_FALSE(tree_.CheckIfDeviceIDIsAllreadyPresent(90));
    abc->SetKey("55K1");
    EXPECT_EQ(tree_.GetNodeWithoutDevIdWithArtNr("ABC", QVariant()), nullptr);

    tree_.SelectLastNode(QString("ABC-12 2"));
    tree_.SelectLastNode(17);
    EXPECT_EQ(Selected(), "ABC-12 2");
    tree_.SelectLastNode(0);
    EXPECT_EQ(Selected(), "ROOT 0");
    tree_.SetTreeViewIndex(2);
    EXPECT_THROW(tree_.GetNodeWithArtNr(""), VelkorError);
}
