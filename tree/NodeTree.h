#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "tree/TreeNode.h"

class NodeImageList;

// The nodes of one tree control, without any window: the node collection in index order (order of
// insertion; a removal closes the gap), lookup by key and by index, the selected node and the image list
// the nodes' image keys refer to. A view (TreeControlView) follows it through the signals.
//
// Keys are unique within one tree and compared exactly (letter case counts). Adding a node under a key the
// tree already holds, or giving a node such a key, is refused with a VelkorError and changes nothing;
// the empty key means "no key" and may occur any number of times.
class NodeTree : public QObject {
    Q_OBJECT
public:
    explicit NodeTree(QObject* parent = nullptr);
    ~NodeTree() override;

    // Removes every node.
    void Clear();
    // Adds a node as the last child of relative, or as the last top-level node when relative is null.
    TreeNode* Add(TreeNode* relative, const QString& key, const QString& text, const QString& image = QString(),
                  const QString& selectedImage = QString());
    // Removes the node with that key together with everything below it; a VelkorError when there is none.
    void Remove(const QString& key);
    void Remove(TreeNode* node);

    int Count() const { return static_cast<int>(nodes_.size()); }
    // The node with that key / at that position of the index order (from 0); null when there is none.
    TreeNode* Item(const QString& key) const;
    TreeNode* Item(int index) const;
    int IndexOf(const TreeNode* node) const;
    // The number of nodes whose key begins with prefix (letter case counts; the empty prefix counts every node).
    int CountKeysWithPrefix(const QString& prefix) const;
    // The nodes whose key begins with prefix (not empty), in key order.
    std::vector<TreeNode*> NodesWithKeyPrefix(const QString& prefix) const;

    int TopLevelCount() const { return static_cast<int>(topLevel_.size()); }
    TreeNode* TopLevel(int row) const;

    TreeNode* SelectedItem() const { return selected_; }
    // Selects a node of this tree; null clears the selection.
    void SetSelectedItem(TreeNode* node);

    // Asks the views to repaint.
    void Refresh();

    // The image list the node image keys refer to (not owned); null shows no icons.
    const NodeImageList* ImageList() const { return imageList_; }
    void SetImageList(const NodeImageList* imageList);

Q_SIGNALS:
    void nodeAboutToBeAdded(TreeNode* parent, int row);
    void nodeAdded(TreeNode* node);
    void nodeAboutToBeRemoved(TreeNode* node);
    void nodeRemoved();
    void aboutToBeCleared();
    void cleared();
    // Key, text or image keys of the node changed.
    void nodeChanged(TreeNode* node);
    void nodeExpandedChanged(TreeNode* node);
    void selectedNodeChanged(TreeNode* node);
    void refreshRequested();
    void imageListChanged();

private:
    friend class TreeNode;
    void IndexKey(const QString& key, TreeNode* node);
    void UnindexKey(const QString& key);
    void ChangeKey(TreeNode* node, const QString& key);
    void NotifyChanged(TreeNode* node);
    void NotifyExpanded(TreeNode* node);
    void CollectSubtree(TreeNode* node, std::vector<TreeNode*>& out) const;
    std::vector<TreeNode*>& SiblingsOf(TreeNode* parent);

    std::vector<std::unique_ptr<TreeNode>> nodes_;  // index order
    std::vector<TreeNode*> topLevel_;
    QHash<QString, TreeNode*> byKey_;
    std::map<QString, TreeNode*> keysInOrder_;  // the same keys, sorted, for lookups by prefix
    TreeNode* selected_ = nullptr;
    const NodeImageList* imageList_ = nullptr;
};
