#pragma once

#include <QTreeView>

class NodeTree;
class NodeTreeModel;
class TreeNode;

// The tree control of one pane: shows the nodes of a NodeTree (text and icon, fixed-width font so that
// the counters stand in one column) and keeps its selection and the expanded state of its nodes in step
// with the NodeTree in both directions.
class TreeControlView : public QTreeView {
    Q_OBJECT
public:
    explicit TreeControlView(NodeTree& nodes, QWidget* parent = nullptr);

    NodeTree& Nodes() { return nodes_; }
    NodeTreeModel& Model() { return *model_; }
    // The node shown at a model index / the index of a node; null and invalid when there is none.
    TreeNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TreeNode* node) const;
    // The node under a point of the viewport; null when there is none.
    TreeNode* NodeAtPoint(const QPoint& viewportPos) const;
    // Shows the node as the target of a drag under way (null: none).
    void SetDropHighlight(TreeNode* node);

Q_SIGNALS:
    void nodeClicked(TreeNode* node);
    void nodeDoubleClicked(TreeNode* node);
    void nodeCollapsed(TreeNode* node);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void ShowSelectedNode(TreeNode* node);
    void TakeCurrentFromView(const QModelIndex& current);
    void ShowExpanded(TreeNode* node);

    NodeTree& nodes_;
    NodeTreeModel* model_ = nullptr;
    bool followingNodes_ = false;
    QPersistentModelIndex dropHighlight_;  // the view is being brought in step with the NodeTree
};
