#include "tree/TreeSnapshot.h"

#include "tree/NodeTree.h"
#include "tree/TreeNode.h"

TreeSnapshot::TreeSnapshot(const NodeTree& tree) {
    nodes_.reserve(static_cast<size_t>(tree.Count()));
    for (int index = 0; index < tree.Count(); ++index) {
        const TreeNode* node = tree.Item(index);
        nodes_.push_back({node->Parent() != nullptr ? tree.IndexOf(node->Parent()) : -1, node->Key(), node->Text(),
                          node->Image(), node->SelectedImage(), node->Expanded()});
    }
    selectedIndex_ = tree.SelectedItem() != nullptr ? tree.IndexOf(tree.SelectedItem()) : -1;
}

void TreeSnapshot::Restore(NodeTree& tree) const {
    tree.Clear();
    std::vector<TreeNode*> added;
    added.reserve(nodes_.size());
    for (const NodeCopy& copy : nodes_) {
        TreeNode* parent = copy.parentIndex >= 0 ? added[static_cast<size_t>(copy.parentIndex)] : nullptr;
        TreeNode* node = tree.Add(parent, copy.key, copy.text, copy.image, copy.selectedImage);
        node->SetExpanded(copy.expanded);
        added.push_back(node);
    }
    tree.SetSelectedItem(selectedIndex_ >= 0 ? added[static_cast<size_t>(selectedIndex_)] : nullptr);
}
