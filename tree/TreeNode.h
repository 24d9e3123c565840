#pragma once

#include <QString>
#include <vector>

class NodeTree;

// One node of a tree control: key, text, image keys, expanded state and its place in the hierarchy.
// Nodes belong to their NodeTree, which creates and deletes them; a node pointer is valid until the node
// is removed or the tree is cleared.
class TreeNode {
public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    const QString& Key() const { return key_; }
    // Raises a VelkorError when another node of the tree already holds the key; the key stays unchanged then.
    void SetKey(const QString& key);

    const QString& Text() const { return text_; }
    void SetText(const QString& text);

    // Keys of the tree's image list.
    const QString& Image() const { return image_; }
    void SetImage(const QString& imageKey);
    const QString& SelectedImage() const { return selectedImage_; }
    void SetSelectedImage(const QString& imageKey);

    bool Expanded() const { return expanded_; }
    void SetExpanded(bool expanded);

    // The top-level node this node hangs under (the node itself at the top level).
    TreeNode* Root();
    TreeNode* Parent() const { return parent_; }
    TreeNode* FirstChild() const { return children_.empty() ? nullptr : children_.front(); }
    TreeNode* FirstSibling() const;
    TreeNode* NextSibling() const;
    int Children() const { return static_cast<int>(children_.size()); }
    TreeNode* Child(int row) const;

    // Position of the node among its siblings (top-level nodes count among each other).
    int Row() const;
    // Position of the node in the tree's index order (order of insertion, counted from 0).
    int Index() const;

    NodeTree& Tree() const { return tree_; }

private:
    friend class NodeTree;
    TreeNode(NodeTree& tree, TreeNode* parent, const QString& key, const QString& text, const QString& image,
             const QString& selectedImage);

    NodeTree& tree_;
    TreeNode* parent_;
    std::vector<TreeNode*> children_;  // owned by the tree, in insertion order
    QString key_;
    QString text_;
    QString image_;
    QString selectedImage_;
    bool expanded_ = false;
    // Where the node stood when last looked up (row among its siblings, position in the index order): checked
    // first, so walks over siblings and index lookups take constant time while nothing is removed.
    mutable int rowHint_ = -1;
    mutable int indexHint_ = -1;
};
