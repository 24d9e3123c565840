#include <gtest/gtest.h>

#include <vector>

#include "shell/VelkorError.h"
#include "tests/tree/TestTexts.h"
#include "tree/NodeTree.h"

namespace {

QStringList KeysInIndexOrder(const NodeTree& tree) {
    QStringList keys;
    for (int index = 0; index < tree.Count(); ++index) {
        keys.append(tree.Item(index)->Key());
    }
    return keys;
}

}  // namespace

TEST(NodeTreeTest, KeepsIndexOrderAndClosesGapsOnRemoval) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root", "Unknown", "Unknown");
    TreeNode* a = tree.Add(root, "A 1", "a");
    tree.Add(a, "A1 0", "a1");
    tree.Add(root, "B 2", "b");
    tree.Add(a, "A2 0", "a2");
    EXPECT_EQ(KeysInIndexOrder(tree), QStringList({"R 0", "A 1", "A1 0", "B 2", "A2 0"}));
    EXPECT_EQ(tree.Item("B 2")->Index(), 3);
    EXPECT_EQ(tree.Item(4)->Key(), "A2 0");
    EXPECT_EQ(tree.Item(5), nullptr);
    EXPECT_EQ(tree.Item(-1), nullptr);
    EXPECT_EQ(tree.Item("missing"), nullptr);

    // Removing a node removes its subtree; later nodes move up.
    tree.Remove("A 1");
    EXPECT_EQ(KeysInIndexOrder(tree), QStringList({"R 0", "B 2"}));
    EXPECT_EQ(tree.Item("A2 0"), nullptr);
    EXPECT_EQ(tree.Item("B 2")->Index(), 1);
    EXPECT_EQ(root->Children(), 1);
    EXPECT_THROW(tree.Remove("A 1"), VelkorError);

    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.TopLevelCount(), 0);
}

TEST(NodeTreeTest, HierarchyNavigation) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* first = tree.Add(root, "C 1", "c1");
    TreeNode* second = tree.Add(root, "C 2", "c2");
    TreeNode* grandChild = tree.Add(second, "G 0", "g");
    TreeNode* otherRoot = tree.Add(nullptr, "Q 0", "other");

    EXPECT_EQ(root->FirstChild(), first);
    EXPECT_EQ(first->NextSibling(), second);
    EXPECT_EQ(second->NextSibling(), nullptr);
    EXPECT_EQ(second->FirstSibling(), first);
    EXPECT_EQ(grandChild->Root(), root);
    EXPECT_EQ(root->NextSibling(), otherRoot);
    EXPECT_EQ(otherRoot->Root(), otherRoot);
}

TEST(NodeTreeTest, RefusesARepeatedKeyAndChangesNothing) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* child = tree.Add(root, "B 2", "first");
    EXPECT_THROW(tree.Add(root, "B 2", "second"), VelkorError);
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_EQ(root->Children(), 1);
    EXPECT_EQ(tree.Item("B 2")->Text(), "first");

    TreeNode* other = tree.Add(root, "C 2", "other");
    EXPECT_THROW(other->SetKey("B 2"), VelkorError);
    EXPECT_EQ(other->Key(), "C 2");
    EXPECT_EQ(tree.Item("C 2"), other);

    // Re-keying frees the old key and takes the new one; giving a node its own key is no change.
    child->SetKey("815K2");
    EXPECT_EQ(tree.Item("B 2"), nullptr);
    EXPECT_EQ(tree.Item("815K2"), child);
    EXPECT_NO_THROW(child->SetKey("815K2"));
    EXPECT_NO_THROW(tree.Add(root, "B 2", "again"));

    // Keys are compared exactly: letter case makes a different key.
    EXPECT_NO_THROW(tree.Add(root, "b 2", "lower"));
}

TEST(NodeTreeTest, SelectionIsSettableAndSignalled) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* child = tree.Add(root, "C 0", "child");
    std::vector<TreeNode*> selections;
    QObject::connect(&tree, &NodeTree::selectedNodeChanged,
                     [&selections](TreeNode* node) { selections.push_back(node); });

    tree.SetSelectedItem(child);
    tree.SetSelectedItem(child);  // no change, no signal
    EXPECT_EQ(tree.SelectedItem(), child);
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0], child);

    // Removing the selected node clears the selection.
    tree.Remove("C 0");
    EXPECT_EQ(tree.SelectedItem(), nullptr);
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(selections[1], nullptr);

    NodeTree otherTree;
    TreeNode* foreign = otherTree.Add(nullptr, "X 0", "x");
    EXPECT_THROW(tree.SetSelectedItem(foreign), VelkorError);
    EXPECT_THROW(tree.Add(foreign, "Y 0", "y"), VelkorError);
    EXPECT_EQ(tree.SelectedItem(), nullptr);
}
