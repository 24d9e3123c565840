#include "trace/GenealogyTree.h"

#include <QHash>
#include <algorithm>

namespace {

QString ParentKey(const QString& key) {
    return key.left(key.lastIndexOf(QLatin1Char('/')));
}

qint64 LastLinkId(const QString& key) {
    return key.mid(key.lastIndexOf(QLatin1Char('/')) + 1).toLongLong();
}

void AddComponents(GenealogyNode& node, const QString& key, const QHash<QString, QList<const NodeRow*>>& children) {
    QList<const NodeRow*> rows = children.value(key);
    std::sort(rows.begin(), rows.end(),
              [](const NodeRow* a, const NodeRow* b) { return LastLinkId(a->key) < LastLinkId(b->key); });
    for (const NodeRow* row : rows) {
        GenealogyNode child;
        child.devId = row->devId;
        child.link = row->link;
        AddComponents(child, row->key, children);
        node.components.push_back(std::move(child));
    }
}

void CollectDevices(const GenealogyNode& node, QList<qint32>& devices) {
    devices.append(node.devId);
    for (const GenealogyNode& child : node.components) {
        CollectDevices(child, devices);
    }
}

}  // namespace

GenealogyNode BuildTree(qint32 rootDevId, const NodeRows& rows) {
    QHash<QString, QList<const NodeRow*>> children;
    for (const NodeRow& row : rows) {
        children[ParentKey(row.key)].append(&row);
    }
    GenealogyNode root;
    root.devId = rootDevId;
    AddComponents(root, QString(), children);
    return root;
}

QList<qint32> TreeDevices(const GenealogyNode& root) {
    QList<qint32> devices;
    CollectDevices(root, devices);
    return devices;
}
