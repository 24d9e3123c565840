#include "tree/widgets/TreeControlView.h"

#include <QFontDatabase>
#include <QScopedValueRollback>

#include "tree/NodeTree.h"
#include "tree/widgets/NodeTreeModel.h"

TreeControlView::TreeControlView(NodeTree& nodes, QWidget* parent) : QTreeView(parent), nodes_(nodes) {
    // The view must know of a removal before the model announces it: the selection model moves the current
    // index to a neighbour while the rows go, and that move is no choice of the worker.
    connect(&nodes_, &NodeTree::nodeAboutToBeRemoved, this, [this](TreeNode*) { followingNodes_ = true; });
    connect(&nodes_, &NodeTree::aboutToBeCleared, this, [this]() { followingNodes_ = true; });
    model_ = new NodeTreeModel(nodes, this);
    setModel(model_);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    // From here on the model's slots run first (connected first), so the view reacts to rows that exist.
    connect(&nodes_, &NodeTree::selectedNodeChanged, this, [this](TreeNode* node) { ShowSelectedNode(node); });
    connect(&nodes_, &NodeTree::nodeExpandedChanged, this, [this](TreeNode* node) { ShowExpanded(node); });
    connect(&nodes_, &NodeTree::nodeAdded, this, [this](TreeNode* node) {
        if (node->Parent() != nullptr) {
            ShowExpanded(node->Parent());
        }
        ShowExpanded(node);
    });
    connect(&nodes_, &NodeTree::nodeRemoved, this, [this]() {
        followingNodes_ = false;
        ShowSelectedNode(nodes_.SelectedItem());
    });
    connect(&nodes_, &NodeTree::cleared, this, [this]() { followingNodes_ = false; });
    connect(&nodes_, &NodeTree::refreshRequested, this, [this]() { viewport()->update(); });

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TakeCurrentFromView(current); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TreeNode* node = NodeAt(index); node != nullptr && !followingNodes_) {
            node->SetExpanded(true);
        }
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        TreeNode* node = NodeAt(index);
        if (node != nullptr && !followingNodes_) {
            node->SetExpanded(false);
            Q_EMIT nodeCollapsed(node);
        }
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (TreeNode* node = NodeAt(index)) {
            Q_EMIT nodeClicked(node);
        }
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (TreeNode* node = NodeAt(index)) {
            Q_EMIT nodeDoubleClicked(node);
        }
    });
}

TreeNode* TreeControlView::NodeAt(const QModelIndex& index) const {
    return model_->NodeAt(index);
}

QModelIndex TreeControlView::IndexOf(const TreeNode* node) const {
    return model_->IndexOf(node);
}

TreeNode* TreeControlView::NodeAtPoint(const QPoint& viewportPos) const {
    return NodeAt(indexAt(viewportPos));
}

void TreeControlView::ShowSelectedNode(TreeNode* node) {
    const QScopedValueRollback<bool> following(followingNodes_, true);
    if (node != nullptr) {
        const QModelIndex index = IndexOf(node);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    viewport()->update();
}

void TreeControlView::TakeCurrentFromView(const QModelIndex& current) {
    if (!followingNodes_) {
        nodes_.SetSelectedItem(NodeAt(current));
    }
}

void TreeControlView::ShowExpanded(TreeNode* node) {
    const QModelIndex index = IndexOf(node);
    if (isExpanded(index) != node->Expanded()) {
        const QScopedValueRollback<bool> following(followingNodes_, true);
        setExpanded(index, node->Expanded());
    }
}

void TreeControlView::SetDropHighlight(TreeNode* node) {
    const QPersistentModelIndex index =
        node != nullptr ? QPersistentModelIndex(IndexOf(node)) : QPersistentModelIndex();
    if (index != dropHighlight_) {
        dropHighlight_ = index;
        viewport()->update();
    }
}

void TreeControlView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (dropHighlight_.isValid() && index == dropHighlight_) {
        QStyleOptionViewItem highlighted(option);
        highlighted.state |= QStyle::State_Selected;
        QTreeView::drawRow(painter, highlighted, index);
        return;
    }
    QTreeView::drawRow(painter, option, index);
}
