#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>

#include "tests/tree/TreeTestData.h"
#include "tree/widgets/NodeTreeModel.h"
#include "tree/widgets/TreeControlView.h"

TEST(TreeControlViewTest, ShowsNodesWithIconsAndFollowsTheSelection) {
    TestTreeHost host;
    TreeView tree(host);  // binds the node bitmaps beside the program to the tree controls
    NodeTree& nodes = host.trees[0];
    TreeControlView view(nodes);
    view.resize(400, 300);
    view.show();

    TreeNode* root = nodes.Add(nullptr, "ROOT 0", "ROOT P(0/1)", "Unknown", "Unknown");
    root->SetExpanded(true);
    TreeNode* first = nodes.Add(root, "901K0", "A P(1/1)", "HasDev", "HasDev");
    TreeNode* second = nodes.Add(root, "B 2", "B P(0/1)", "Fehlt", "Fehlt");  // no such picture: no icon
    QApplication::processEvents();

    NodeTreeModel& model = view.Model();
    const QModelIndex rootIndex = model.index(0, 0);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(rootIndex), 2);
    EXPECT_EQ(model.data(rootIndex).toString(), "ROOT P(0/1)");
    EXPECT_EQ(view.NodeAt(model.index(0, 0, rootIndex)), first);
    EXPECT_TRUE(view.isExpanded(rootIndex));
    const auto icon = [&](TreeNode* node) {
        return qvariant_cast<QIcon>(model.data(view.IndexOf(node), Qt::DecorationRole));
    };
    EXPECT_FALSE(icon(root).isNull());
    EXPECT_FALSE(icon(first).isNull());
    EXPECT_TRUE(icon(second).isNull());

    // Text and image changes reach the view.
    second->SetText("B P(1/1)");
    second->SetImage("Set");
    EXPECT_EQ(model.data(view.IndexOf(second)).toString(), "B P(1/1)");
    EXPECT_FALSE(icon(second).isNull());

    // Selection from the tree object to the view and from the worker's keys back to the tree object.
    nodes.SetSelectedItem(first);
    EXPECT_TRUE(view.selectionModel()->isSelected(view.IndexOf(first)));
    view.setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&view, &down);
    EXPECT_EQ(nodes.SelectedItem(), second);

    // Removing the selected node leaves no selection behind in either; collapsing is written back.
    nodes.Remove("B 2");
    QApplication::processEvents();
    EXPECT_EQ(nodes.SelectedItem(), nullptr);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    view.collapse(rootIndex);
    EXPECT_FALSE(root->Expanded());
}
