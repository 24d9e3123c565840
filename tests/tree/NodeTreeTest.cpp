#include <gtest/gtest.h>

#include "shell/VelkorError.h"
#include "tests/tree/TreeTestData.h"

TEST(NodeTreeTest, IndexOrderLookupAndRemoval) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* a = tree.Add(root, "A 1", "a");
    tree.Add(a, "A1 0", "a1");
    TreeNode* b = tree.Add(root, "B 2", "b");
    tree.Add(a, "A2 0", "a2");
    TreeNode* otherRoot = tree.Add(nullptr, "Q 0", "other");
    EXPECT_EQ(KeysOf(tree), QStringList({"R 0", "A 1", "A1 0", "B 2", "A2 0", "Q 0"}));
    EXPECT_EQ(tree.Item("B 2")->Index(), 3);
    EXPECT_EQ(tree.Item(6), nullptr);
    EXPECT_EQ(tree.Item(-1), nullptr);
    EXPECT_EQ(tree.Item("missing"), nullptr);
    EXPECT_EQ(a->NextSibling(), b);
    EXPECT_EQ(b->FirstSibling(), a);
    EXPECT_EQ(tree.Item("A2 0")->Root(), root);
    EXPECT_EQ(root->NextSibling(), otherRoot);

    // Removing a node removes its subtree; later nodes move up.
    tree.SetSelectedItem(tree.Item("A2 0"));
    tree.Remove("A 1");
    EXPECT_EQ(KeysOf(tree), QStringList({"R 0", "B 2", "Q 0"}));
    EXPECT_EQ(tree.Item("A2 0"), nullptr);
    EXPECT_EQ(tree.Item(1), b);
    EXPECT_EQ(root->FirstChild(), b);
    EXPECT_EQ(tree.SelectedItem(), nullptr);
    EXPECT_THROW(tree.Remove("A 1"), VelkorError);
}

TEST(NodeTreeTest, RefusesARepeatedKeyAndChangesNothing) {
    NodeTree tree;
    TreeNode* root = tree.Add(nullptr, "R 0", "root");
    TreeNode* child = tree.Add(root, "B 2", "first");
    EXPECT_THROW(tree.Add(root, "B 2", "second"), VelkorError);
    EXPECT_EQ(KeysOf(tree), QStringList({"R 0", "B 2"}));
    EXPECT_EQ(root->Children(), 1);
    EXPECT_EQ(tree.Item("B 2")->Text(), "first");

    TreeNode* other = tree.Add(root, "C 2", "other");
    EXPECT_THROW(other->SetKey("B 2"), VelkorError);
    EXPECT_EQ(tree.Item("C 2"), other);

    // Re-keying frees the old key; letter case makes a different key.
    child->SetKey("815K2");
    EXPECT_EQ(tree.Item("815K2"), child);
    EXPECT_NO_THROW(tree.Add(root, "B 2", "again"));
    EXPECT_NO_THROW(tree.Add(root, "b 2", "lower"));
}
