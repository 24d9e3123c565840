#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

class NodeTree;
class TreeNode;

// Presents the nodes of a NodeTree to a view: one column with the node text and the picture of the node's
// image key. Follows every change of the NodeTree through its signals.
class NodeTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit NodeTreeModel(NodeTree& nodes, QObject* parent = nullptr);

    NodeTree& Nodes() const { return nodes_; }
    TreeNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TreeNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QVariant Icon(const QString& imageKey) const;
    void ImagesChanged();

    NodeTree& nodes_;
    mutable QHash<QString, QIcon> icons_;
};
