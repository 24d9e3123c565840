#include <gtest/gtest.h>

#include <QWidget>

#include "rework/NodeDetails.h"
#include "rework/widgets/CTooltip.h"
#include "rework/widgets/NodeTooltipPresenter.h"
#include "tests/rework/ReworkTestHost.h"

namespace {

// The details of the node under the pointer, shown by the program's own tooltip presenter over two plain
// windows standing in for the trees.
class ReworkNodeDetailsTest : public ReworkTest {
protected:
    // The text of the tooltip up now; empty when none is up.
    QString ShownText() const {
        const CTooltip* tip = presenter_.NodeTooltip();
        return tip != nullptr && tip->HwndParentControl() != nullptr ? tip->Text() : QString();
    }

    QWidget trees_[2];
    NodeTooltipPresenter presenter_{{&trees_[0], &trees_[1]}};
    NodeDetails details_{host_, presenter_};
};

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

TEST_F(ReworkNodeDetailsTest, ShowsTheDetailsOfTheNodeUnderThePointer) {
    Nodes().Add(LoadDemoDevice(), "LP-5100-A 2", "LP-5100-A");
    const qint32 freeDevice = AddDevice("T-FREE");  // no own assembly row: no order header
    AddRecords(freeDevice, 2);
    const struct {
        int pane;
        QString key;
        QString text;
    } cases[] = {
        {0, "LP-5100-A 2", "Komponente Unbekannt" + kCrLf + kCrLf + "Key: LP-5100-A 2" + kCrLf},
        {0, "9030K0",
         "9030" + kCrLf + "Assembliert unter Pa:240101" + kCrLf + "---------" + kCrLf + "1: P24100030" + kCrLf +
             "---------" + kCrLf + "Seriennummer:" + kCrLf + "240001" + kCrLf + "---------" + kCrLf +
             "Bez 1:Steuergerät SG-5000 Grundausführung" + kCrLf + kCrLf + "Key: 9030K0" + kCrLf},
        {0, "9036K0",
         "9036" + kCrLf + "Assembliert unter Pa:240101" + kCrLf + "---------" + kCrLf + "Keine Produktionscodes" +
             kCrLf + "---------" + kCrLf + "Fremdseriennummer:" + kCrLf + "FM24-00731" + kCrLf + "---------" + kCrLf +
             "Bez 1:" + kCrLf + kCrLf + "Key: 9036K0" + kCrLf},
        {0, "9031K0",
         "9031" + kCrLf + "Assembliert unter Pa:240101" + kCrLf + "---------" + kCrLf + "1: P24100031" + kCrLf +
             "2: P24100032" + kCrLf + "---------" + kCrLf + "Bez 1:" + kCrLf + kCrLf + "Key: 9031K0" + kCrLf},
        {1, QString("%1K0").arg(freeDevice),
         kCrLf + QString("1: P%1-0").arg(freeDevice) + kCrLf + QString("2: P%1-1").arg(freeDevice) + kCrLf +
             "---------" + kCrLf + "Bez 1:" + kCrLf + kCrLf + QString("Key: %1K0").arg(freeDevice) + kCrLf},
    };
    // The free device is shown in the second tree.
    host_.Tree().SetTreeViewIndex(1);
    TreeNode* second = host_.Tree().CreateRootDevice("T-FREE");
    host_.Tree().InsertDeviceIntoSpecifiedNode(second, freeDevice);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        TreeNode* node = Node(c.key, c.pane);
        ASSERT_NE(node, nullptr);
        details_.OnMouseMove(c.pane, node);
        EXPECT_EQ(ShownText(), c.text);
        EXPECT_EQ(presenter_.NodeTooltip()->HwndParentControl(), &trees_[c.pane]);
        EXPECT_EQ(presenter_.NodeTooltip()->Title(), "Produktionscode");
        EXPECT_EQ(host_.Status(), "Bereit");
    }
}

TEST_F(ReworkNodeDetailsTest, BuildsTheDetailsAgainOnlyForAnotherNodeOrAfterAnEditor) {
    LoadDemoDevice();
    TreeNode* lp = Node("9031K0");
    TreeNode* rm = Node("9032K0");
    ASSERT_TRUE(lp != nullptr && rm != nullptr);

    details_.OnMouseMove(0, lp);
    const CTooltip* first = presenter_.NodeTooltip();
    const QString before = ShownText();
    // A code recorded meanwhile does not show while the pointer stays on the node: no new query.
    ExecTestSql("INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (9031, 'P24999999')");
    details_.OnMouseMove(0, lp);
    EXPECT_EQ(presenter_.NodeTooltip(), first);
    EXPECT_EQ(ShownText(), before);

    // After a record editor was used the same node is read again.
    details_.MarkStale();
    details_.OnMouseMove(0, lp);
    EXPECT_TRUE(ShownText().contains("3: P24999999")) << ShownText().toStdString();

    // Leaving the nodes takes the tooltip down; coming back to another node builds it again.
    details_.OnMouseMove(0, nullptr);
    EXPECT_FALSE(details_.HoverActive());
    EXPECT_EQ(ShownText(), QString());
    details_.OnMouseMove(0, rm);
    EXPECT_TRUE(details_.HoverActive());
    EXPECT_EQ(details_.HoverKey(), "9032K0");
    EXPECT_TRUE(ShownText().contains("1: P24100033")) << ShownText().toStdString();
}

TEST_F(ReworkNodeDetailsTest, ALostConnectionIsToldOnceUntilTheDetailsCanBeReadAgain) {
    LoadDemoDevice();
    // While the server cannot be reached every statement fails, the reconnection's too.
    bool down = true;
    AssemblyDbClass::SetStatementFault([&down](const QString&) { return down ? 2013 : 0; });
    for (const char* key : {"9031K0", "9032K0", "9033K0"}) {
        details_.OnMouseMove(0, Node(key));
    }
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().contains("TreeViewCtr_MouseMove")) << told.first().toStdString();

    down = false;
    details_.OnMouseMove(0, Node("9034K0"));
    EXPECT_TRUE(ShownText().startsWith("9034")) << ShownText().toStdString();
    down = true;
    details_.OnMouseMove(0, Node("9035K0"));
    details_.OnMouseMove(0, Node("9036K0"));
    AssemblyDbClass::SetStatementFault({});
    EXPECT_EQ(TakeMessages().size(), 1);
}
