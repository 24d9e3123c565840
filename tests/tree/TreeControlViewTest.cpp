#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>

#include "tests/tree/TestTexts.h"
#include "tests/tree/TestTreeHost.h"
#include "tree/NodeImageList.h"
#include "tree/NodeTree.h"
#include "tree/TreeView.h"
#include "tree/widgets/NodeTreeModel.h"
#include "tree/widgets/TreeControlView.h"

namespace {

QString Bitmap(const char* name) {
    return QStringLiteral(VELKOR_SOURCE_DIR "/tree/bitmaps/") + name;
}

}  // namespace

TEST(TreeControlViewTest, ShowsNodesWithIconsAndFollowsTheSelection) {
    NodeImageList images;
    images.Add("Set", Bitmap("modul.bmp"));
    images.Add("Unknown", Bitmap("Fragezeichen.bmp"));
    images.Add("HasDev", Bitmap("fehlt.bmp"));  // an unreadable bitmap: no icon, no crash
    NodeTree nodes;
    nodes.SetImageList(&images);
    TreeControlView view(nodes);
    view.resize(400, 300);
    view.show();

    TreeNode* root = nodes.Add(nullptr, "ROOT 0", "ROOT P(0/1)", "Unknown", "Unknown");
    root->SetExpanded(true);
    TreeNode* first = nodes.Add(root, "901K0", "A P(1/1)", "Set", "Set");
    TreeNode* second = nodes.Add(root, "B 2", "B P(0/1)", "HasDev", "HasDev");
    QApplication::processEvents();

    NodeTreeModel& model = view.Model();
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex rootIndex = model.index(0, 0);
    EXPECT_EQ(model.rowCount(rootIndex), 2);
    EXPECT_EQ(model.data(rootIndex).toString(), "ROOT P(0/1)");
    EXPECT_EQ(model.data(model.index(1, 0, rootIndex)).toString(), "B P(0/1)");
    EXPECT_EQ(view.NodeAt(model.index(0, 0, rootIndex)), first);
    EXPECT_TRUE(view.isExpanded(rootIndex));
    EXPECT_FALSE(qvariant_cast<QIcon>(model.data(view.IndexOf(first), Qt::DecorationRole)).isNull());
    EXPECT_FALSE(qvariant_cast<QIcon>(model.data(rootIndex, Qt::DecorationRole)).isNull());
    EXPECT_FALSE(model.data(view.IndexOf(second), Qt::DecorationRole).isValid());
    EXPECT_EQ(view.visualRect(view.IndexOf(second)).isEmpty(), false);

    // Text and image changes reach the view.
    second->SetText("B P(1/1)");
    second->SetImage("Set");
    EXPECT_EQ(model.data(view.IndexOf(second)).toString(), "B P(1/1)");
    EXPECT_FALSE(qvariant_cast<QIcon>(model.data(view.IndexOf(second), Qt::DecorationRole)).isNull());

    // Selection from the tree object to the view ...
    nodes.SetSelectedItem(first);
    EXPECT_EQ(view.currentIndex(), view.IndexOf(first));
    EXPECT_TRUE(view.selectionModel()->isSelected(view.IndexOf(first)));
    // ... and from the worker's keys back to the tree object.
    view.setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&view, &down);
    EXPECT_EQ(nodes.SelectedItem(), second);

    // Removing the selected node leaves no selection behind in either.
    nodes.Remove("B 2");
    QApplication::processEvents();
    EXPECT_EQ(nodes.SelectedItem(), nullptr);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    EXPECT_EQ(model.rowCount(rootIndex), 1);

    // Collapsing in the view is written back to the node.
    view.collapse(rootIndex);
    EXPECT_FALSE(root->Expanded());
    root->SetExpanded(true);
    EXPECT_TRUE(view.isExpanded(rootIndex));

    nodes.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(TreeControlViewTest, NodeBitmapsAreSmallAndTheImageListIsFilledOnce) {
    for (const char* name : {"modul.bmp", "Fragezeichen.bmp", "graymodul.bmp"}) {
        const QImage picture(Bitmap(name));
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size(), QSize(16, 16)) << name;
    }
    TestTreeHost host;
    TreeView first(host);
    TreeView second(host);
    EXPECT_EQ(SharedNodeImages().Keys(), QStringList({"Set", "Unknown", "HasDev"}));
    EXPECT_EQ(host.trees[0].ImageList(), &SharedNodeImages());
    EXPECT_EQ(host.trees[1].ImageList(), &SharedNodeImages());
}
