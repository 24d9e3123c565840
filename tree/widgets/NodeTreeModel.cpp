#include "tree/widgets/NodeTreeModel.h"

#include <QPixmap>

#include "tree/NodeImageList.h"
#include "tree/NodeTree.h"

NodeTreeModel::NodeTreeModel(NodeTree& nodes, QObject* parent) : QAbstractItemModel(parent), nodes_(nodes) {
    connect(&nodes_, &NodeTree::nodeAboutToBeAdded, this,
            [this](TreeNode* parentNode, int row) { beginInsertRows(IndexOf(parentNode), row, row); });
    connect(&nodes_, &NodeTree::nodeAdded, this, [this](TreeNode*) { endInsertRows(); });
    connect(&nodes_, &NodeTree::nodeAboutToBeRemoved, this, [this](TreeNode* node) {
        const int row = node->Row();
        beginRemoveRows(IndexOf(node->Parent()), row, row);
    });
    connect(&nodes_, &NodeTree::nodeRemoved, this, [this]() { endRemoveRows(); });
    connect(&nodes_, &NodeTree::aboutToBeCleared, this, [this]() { beginResetModel(); });
    connect(&nodes_, &NodeTree::cleared, this, [this]() { endResetModel(); });
    connect(&nodes_, &NodeTree::nodeChanged, this, [this](TreeNode* node) {
        const QModelIndex changed = IndexOf(node);
        Q_EMIT dataChanged(changed, changed);
    });
    connect(&nodes_, &NodeTree::imageListChanged, this, [this]() { ImagesChanged(); });
}

TreeNode* NodeTreeModel::NodeAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) {
        return nullptr;
    }
    return static_cast<TreeNode*>(index.internalPointer());
}

QModelIndex NodeTreeModel::IndexOf(const TreeNode* node) const {
    if (node == nullptr) {
        return QModelIndex();
    }
    return createIndex(node->Row(), 0, const_cast<TreeNode*>(node));
}

QModelIndex NodeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return QModelIndex();
    }
    const TreeNode* parentNode = NodeAt(parent);
    TreeNode* node = parentNode != nullptr ? parentNode->Child(row) : nodes_.TopLevel(row);
    return node != nullptr ? createIndex(row, 0, node) : QModelIndex();
}

QModelIndex NodeTreeModel::parent(const QModelIndex& child) const {
    const TreeNode* node = NodeAt(child);
    return node != nullptr ? IndexOf(node->Parent()) : QModelIndex();
}

int NodeTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const TreeNode* node = NodeAt(parent);
    return node != nullptr ? node->Children() : nodes_.TopLevelCount();
}

int NodeTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant NodeTreeModel::data(const QModelIndex& index, int role) const {
    const TreeNode* node = NodeAt(index);
    if (node == nullptr) {
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
            return node->Text();
        case Qt::DecorationRole:
            return Icon(node == nodes_.SelectedItem() ? node->SelectedImage() : node->Image());
        default:
            return QVariant();
    }
}

QVariant NodeTreeModel::Icon(const QString& imageKey) const {
    const NodeImageList* images = nodes_.ImageList();
    if (images == nullptr || imageKey.isEmpty()) {
        return QVariant();
    }
    auto cached = icons_.constFind(imageKey);
    if (cached == icons_.constEnd()) {
        const QImage picture = images->Picture(imageKey);
        cached = icons_.insert(imageKey, picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
    }
    if (cached->isNull()) {
        return QVariant();
    }
    return *cached;
}

void NodeTreeModel::ImagesChanged() {
    Q_EMIT layoutAboutToBeChanged();
    icons_.clear();
    Q_EMIT layoutChanged();
}
