#pragma once

#include <QList>
#include <QString>

#include "trace/TraceTypes.h"

// One row of the walk down: the node's key (membership row IDs from the root, "/12/57"), its device and
// the membership type under its parent.
struct NodeRow {
    QString key;
    qint32 devId = 0;
    QString link;
};
using NodeRows = QList<NodeRow>;

// The tree below rootDevId; components in the order their memberships were recorded.
GenealogyNode BuildTree(qint32 rootDevId, const NodeRows& rows);

// Every device of the tree, the root first.
QList<qint32> TreeDevices(const GenealogyNode& root);
