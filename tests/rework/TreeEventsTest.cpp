#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QWidget>

#include "rework/TreeRework.h"
#include "rework/widgets/EditMenu.h"
#include "rework/widgets/NodeTooltipPresenter.h"
#include "rework/widgets/QtRecordEditors.h"
#include "tests/rework/ReworkTestHost.h"
#include "tree/widgets/TreeControlView.h"

namespace {

// The tree events as the main window forwards them, on the demo device 9030 in tree 0.
class ReworkTreeEventsTest : public ReworkTest {
protected:
    QWidget trees_[2];
    NodeTooltipPresenter presenter_{{&trees_[0], &trees_[1]}};
    QtRecordEditors editors_{nullptr};
    TreeRework rework_{host_, presenter_, editors_};
};

// The entries of the menu apart from the separators, in menu order.
const MnuEntry kEntries[] = {MnuEntry::MnuMainDelete, MnuEntry::MnuDeleteAssembly, MnuEntry::MnuMainSerNr,
                             MnuEntry::MnuEditSer,    MnuEntry::MnuMainProdCode,   MnuEntry::MnuDelete};

// The entries as "+" (offered) or "-" (disabled or hidden).
QString Enabling(const EditMenuState& menu) {
    QString marks;
    for (MnuEntry entry : kEntries) {
        marks += menu.Enabled(entry) && menu.Visible(entry) ? QLatin1Char('+') : QLatin1Char('-');
    }
    return marks;
}

}  // namespace

TEST_F(ReworkTreeEventsTest, RightClickSetsTheContextNodeAndTheMenuEntries) {
    Nodes().Add(LoadDemoDevice(), "T-SLOT 1", "T-SLOT");
    host_.Tree().SetTreeViewIndex(1);
    // Entries: Gerät, Zuweisung aufheben, Seriennummern, bearbeiten, Produktionscodes, bearbeiten.
    const struct {
        const char* name;
        int button;
        QString keyAtPointer, keyAtRowText;  // the node at the pointer's x, at x 800 and 1200
        QString contextKey;
        bool popUp;
        QString enabling;
    } cases[] = {
        {"component", 2, "9031K0", "9031K0", "9031K0", true, "++++++"},
        {"root device: no removal", 2, "9030K0", "9030K0", "9030K0", true, "+-++++"},
        {"expected slot after a device", 2, "T-SLOT 1", "T-SLOT 1", "T-SLOT 1", true, "+-+-+-"},
        {"right of a short text", 2, "", "9032K0", "9032K0", true, "++++++"},
        {"no row under the pointer", 2, "", "", "", false, "++++++"},
        {"left button", 1, "9033K0", "9033K0", "9031K0", false, "++++++"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto nodeAt = [&](int x) {
            return Node(x == 5000 ? c.keyAtPointer : (x == 800 || x == 1200 ? c.keyAtRowText : QString()));
        };
        EXPECT_EQ(rework_.OnMouseDown(0, c.button, 5000, nodeAt), c.popUp);
        EXPECT_EQ(rework_.ContextNode() != nullptr ? rework_.ContextNode()->Key() : QString(), c.contextKey);
        EXPECT_EQ(Enabling(rework_.EditMenu()), c.enabling);
        if (c.popUp) {
            EXPECT_EQ(Nodes().SelectedItem(), Node(c.contextKey));
            EXPECT_EQ(host_.Tree().TreeViewIndex(), 0);
        }
        // Back to a device node for the next case.
        rework_.OnMouseDown(0, 2, 5000, [&](int) { return Node("9031K0"); });
        host_.Tree().SetTreeViewIndex(1);
    }
}

TEST_F(ReworkTreeEventsTest, TheMenuShowsTheEnablingOfTheLastRightClick) {
    Nodes().Add(LoadDemoDevice(), "T-SLOT 1", "T-SLOT");
    QMenu menu;
    for (int i = 0; i < kMnuEntryCount; ++i) {
        menu.addAction(QStringLiteral("entry"))->setObjectName(EditMenuState::Name(static_cast<MnuEntry>(i)));
    }
    const QString keys[] = {"9030K0", "T-SLOT 1", "9031K0"};
    const QString expected[] = {"+-++++", "+-+-+-", "++++++"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(rework_.OnMouseDown(0, 2, 0, [&](int) { return Node(keys[i]); }));
        ApplyEditMenuState(menu, rework_.EditMenu());
        QString marks;
        for (MnuEntry entry : kEntries) {
            const QAction* action = menu.findChild<QAction*>(EditMenuState::Name(entry));
            marks += action->isEnabled() && action->isVisible() ? QLatin1Char('+') : QLatin1Char('-');
        }
        EXPECT_EQ(marks, expected[i]) << keys[i].toStdString();
    }
}

TEST_F(ReworkTreeEventsTest, TreesStayExpandedAndClicksChooseTheCurrentTree) {
    TreeControlView view(Nodes());  // the tree control exists before its nodes, as in the window
    TreeNode* root = LoadDemoDevice();
    QObject::connect(&view, &TreeControlView::nodeCollapsed, [](TreeNode* node) { TreeRework::OnCollapse(node); });
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    for (TreeNode* node : {root, Node("9038K0")}) {
        view.collapse(view.IndexOf(node));
        EXPECT_TRUE(node->Expanded());
        EXPECT_TRUE(view.isExpanded(view.IndexOf(node)));
    }

    rework_.OnNodeClick(1, root);
    EXPECT_EQ(host_.SelectedNodeIndex(), QVariant(root->Index()));
    EXPECT_EQ(host_.Tree().TreeViewIndex(), 1);
    const int repaints = host_.repaints;
    rework_.OnClick(0);
    EXPECT_EQ(host_.Tree().TreeViewIndex(), 0);
    EXPECT_EQ(host_.repaints, repaints + 1);

    // A move with the left button held is dragging: no details.
    rework_.OnMouseMove(0, 1, root);
    EXPECT_EQ(presenter_.NodeTooltip(), nullptr);
    rework_.OnMouseMove(0, 0, root);
    EXPECT_EQ(rework_.ContextNode(), root);
    EXPECT_NE(presenter_.NodeTooltip(), nullptr);
}

TEST_F(ReworkTreeEventsTest, RightClickToTheRightOfAShortTextFindsTheRowInTheTreeControl) {
    TreeControlView view(Nodes());
    LoadDemoDevice();
    view.resize(900, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    TreeNode* node = Node("9032K0");
    const QRect row = view.visualRect(view.IndexOf(node));
    const auto nodeAt = [&](int xTwips) { return view.NodeAtPoint(QPoint(xTwips / 15, row.center().y())); };
    EXPECT_TRUE(rework_.OnMouseDown(0, 2, (view.viewport()->width() - 2) * 15, nodeAt));
    EXPECT_EQ(rework_.ContextNode(), node);
}
