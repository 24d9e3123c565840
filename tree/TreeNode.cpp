#include "tree/TreeNode.h"

#include <algorithm>

#include "tree/NodeTree.h"

TreeNode::TreeNode(NodeTree& tree, TreeNode* parent, const QString& key, const QString& text, const QString& image,
                   const QString& selectedImage)
    : tree_(tree), parent_(parent), key_(key), text_(text), image_(image), selectedImage_(selectedImage) {}

void TreeNode::SetKey(const QString& key) {
    if (key != key_) {
        tree_.ChangeKey(this, key);
    }
}

void TreeNode::SetText(const QString& text) {
    if (text != text_) {
        text_ = text;
        tree_.NotifyChanged(this);
    }
}

void TreeNode::SetImage(const QString& imageKey) {
    if (imageKey != image_) {
        image_ = imageKey;
        tree_.NotifyChanged(this);
    }
}

void TreeNode::SetSelectedImage(const QString& imageKey) {
    if (imageKey != selectedImage_) {
        selectedImage_ = imageKey;
        tree_.NotifyChanged(this);
    }
}

void TreeNode::SetExpanded(bool expanded) {
    if (expanded != expanded_) {
        expanded_ = expanded;
        tree_.NotifyExpanded(this);
    }
}

TreeNode* TreeNode::Root() {
    TreeNode* node = this;
    while (node->parent_ != nullptr) {
        node = node->parent_;
    }
    return node;
}

TreeNode* TreeNode::FirstSibling() const {
    if (parent_ != nullptr) {
        return parent_->FirstChild();
    }
    return tree_.TopLevel(0);
}

TreeNode* TreeNode::NextSibling() const {
    const int next = Row() + 1;
    if (parent_ != nullptr) {
        return parent_->Child(next);
    }
    return tree_.TopLevel(next);
}

TreeNode* TreeNode::Child(int row) const {
    if (row < 0 || row >= Children()) {
        return nullptr;
    }
    return children_[static_cast<size_t>(row)];
}

int TreeNode::Row() const {
    const std::vector<TreeNode*>& siblings = parent_ != nullptr ? parent_->children_ : tree_.topLevel_;
    const auto count = static_cast<int>(siblings.size());
    if (rowHint_ >= 0 && rowHint_ < count && siblings[static_cast<size_t>(rowHint_)] == this) {
        return rowHint_;
    }
    const auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found == siblings.end()) {
        return -1;
    }
    rowHint_ = static_cast<int>(found - siblings.begin());
    return rowHint_;
}

int TreeNode::Index() const {
    return tree_.IndexOf(this);
}
