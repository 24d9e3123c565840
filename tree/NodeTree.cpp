#include "tree/NodeTree.h"

#include <QSet>
#include <algorithm>

#include "shell/VelkorError.h"

namespace {

[[noreturn]] void RaiseKeyTaken(const QString& key) {
    throw VelkorError(kAppErrorNumber,
                      QStringLiteral("Der Schlüssel \"%1\" ist in der Baumansicht bereits vorhanden").arg(key),
                      QStringLiteral("NodeTree"));
}

}  // namespace

NodeTree::NodeTree(QObject* parent) : QObject(parent) {}

NodeTree::~NodeTree() = default;

void NodeTree::Clear() {
    Q_EMIT aboutToBeCleared();
    const bool hadSelection = selected_ != nullptr;
    selected_ = nullptr;
    byKey_.clear();
    keysInOrder_.clear();
    topLevel_.clear();
    nodes_.clear();
    Q_EMIT cleared();
    if (hadSelection) {
        Q_EMIT selectedNodeChanged(nullptr);
    }
}

std::vector<TreeNode*>& NodeTree::SiblingsOf(TreeNode* parent) {
    return parent != nullptr ? parent->children_ : topLevel_;
}

TreeNode* NodeTree::Add(TreeNode* relative, const QString& key, const QString& text, const QString& image,
                        const QString& selectedImage) {
    if (relative != nullptr && &relative->Tree() != this) {
        throw VelkorError(kAppErrorNumber, QStringLiteral("Der Bezugsknoten gehört nicht zu dieser Baumansicht"),
                          QStringLiteral("NodeTree"));
    }
    if (!key.isEmpty() && byKey_.contains(key)) {
        RaiseKeyTaken(key);
    }
    std::vector<TreeNode*>& siblings = SiblingsOf(relative);
    Q_EMIT nodeAboutToBeAdded(relative, static_cast<int>(siblings.size()));
    nodes_.push_back(std::unique_ptr<TreeNode>(new TreeNode(*this, relative, key, text, image, selectedImage)));
    TreeNode* node = nodes_.back().get();
    node->rowHint_ = static_cast<int>(siblings.size());
    node->indexHint_ = static_cast<int>(nodes_.size()) - 1;
    siblings.push_back(node);
    if (!key.isEmpty()) {
        IndexKey(key, node);
    }
    Q_EMIT nodeAdded(node);
    return node;
}

void NodeTree::CollectSubtree(TreeNode* node, std::vector<TreeNode*>& out) const {
    out.push_back(node);
    for (TreeNode* child : node->children_) {
        CollectSubtree(child, out);
    }
}

void NodeTree::Remove(const QString& key) {
    TreeNode* node = Item(key);
    if (node == nullptr) {
        throw VelkorError(kAppErrorNumber,
                          QStringLiteral("Kein Knoten mit dem Schlüssel \"%1\" in der Baumansicht").arg(key),
                          QStringLiteral("NodeTree"));
    }
    Remove(node);
}

void NodeTree::Remove(TreeNode* node) {
    if (node == nullptr || &node->Tree() != this) {
        throw VelkorError(kAppErrorNumber, QStringLiteral("Der Knoten gehört nicht zu dieser Baumansicht"),
                          QStringLiteral("NodeTree"));
    }
    std::vector<TreeNode*> subtree;
    CollectSubtree(node, subtree);

    Q_EMIT nodeAboutToBeRemoved(node);
    std::vector<TreeNode*>& siblings = SiblingsOf(node->parent_);
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    bool selectionGone = false;
    for (TreeNode* gone : subtree) {
        if (!gone->key_.isEmpty()) {
            UnindexKey(gone->key_);
        }
        selectionGone = selectionGone || gone == selected_;
    }
    if (selectionGone) {
        selected_ = nullptr;
    }
    const QSet<const TreeNode*> removed(subtree.begin(), subtree.end());
    nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                                [&removed](const std::unique_ptr<TreeNode>& candidate) {
                                    return removed.contains(candidate.get());
                                }),
                 nodes_.end());
    Q_EMIT nodeRemoved();
    if (selectionGone) {
        Q_EMIT selectedNodeChanged(nullptr);
    }
}

TreeNode* NodeTree::Item(const QString& key) const {
    if (key.isEmpty()) {
        return nullptr;
    }
    return byKey_.value(key, nullptr);
}

TreeNode* NodeTree::Item(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return nodes_[static_cast<size_t>(index)].get();
}

int NodeTree::IndexOf(const TreeNode* node) const {
    if (node == nullptr) {
        return -1;
    }
    const auto count = static_cast<int>(nodes_.size());
    const int hint = node->indexHint_;
    if (hint >= 0 && hint < count && nodes_[static_cast<size_t>(hint)].get() == node) {
        return hint;
    }
    // A removal moves the nodes after it towards the front: look there first.
    for (int i = std::min(hint, count - 1); i >= 0; --i) {
        if (nodes_[static_cast<size_t>(i)].get() == node) {
            node->indexHint_ = i;
            return i;
        }
    }
    for (int i = std::max(hint + 1, 0); i < count; ++i) {
        if (nodes_[static_cast<size_t>(i)].get() == node) {
            node->indexHint_ = i;
            return i;
        }
    }
    return -1;
}

int NodeTree::CountKeysWithPrefix(const QString& prefix) const {
    if (prefix.isEmpty()) {
        return Count();
    }
    int count = 0;
    for (auto it = keysInOrder_.lower_bound(prefix); it != keysInOrder_.end() && it->first.startsWith(prefix); ++it) {
        ++count;
    }
    return count;
}

std::vector<TreeNode*> NodeTree::NodesWithKeyPrefix(const QString& prefix) const {
    std::vector<TreeNode*> nodes;
    if (prefix.isEmpty()) {
        return nodes;
    }
    for (auto it = keysInOrder_.lower_bound(prefix); it != keysInOrder_.end() && it->first.startsWith(prefix); ++it) {
        nodes.push_back(it->second);
    }
    return nodes;
}

void NodeTree::IndexKey(const QString& key, TreeNode* node) {
    byKey_.insert(key, node);
    keysInOrder_[key] = node;
}

void NodeTree::UnindexKey(const QString& key) {
    byKey_.remove(key);
    keysInOrder_.erase(key);
}

TreeNode* NodeTree::TopLevel(int row) const {
    if (row < 0 || row >= TopLevelCount()) {
        return nullptr;
    }
    return topLevel_[static_cast<size_t>(row)];
}

void NodeTree::SetSelectedItem(TreeNode* node) {
    if (node != nullptr && &node->Tree() != this) {
        throw VelkorError(kAppErrorNumber, QStringLiteral("Der Knoten gehört nicht zu dieser Baumansicht"),
                          QStringLiteral("NodeTree"));
    }
    if (node != selected_) {
        selected_ = node;
        Q_EMIT selectedNodeChanged(node);
    }
}

void NodeTree::Refresh() {
    Q_EMIT refreshRequested();
}

void NodeTree::SetImageList(const NodeImageList* imageList) {
    if (imageList != imageList_) {
        imageList_ = imageList;
        Q_EMIT imageListChanged();
    }
}

void NodeTree::ChangeKey(TreeNode* node, const QString& key) {
    if (!key.isEmpty() && byKey_.contains(key)) {
        RaiseKeyTaken(key);
    }
    if (!node->key_.isEmpty()) {
        UnindexKey(node->key_);
    }
    node->key_ = key;
    if (!key.isEmpty()) {
        IndexKey(key, node);
    }
    Q_EMIT nodeChanged(node);
}

void NodeTree::NotifyChanged(TreeNode* node) {
    Q_EMIT nodeChanged(node);
}

void NodeTree::NotifyExpanded(TreeNode* node) {
    Q_EMIT nodeExpandedChanged(node);
}
