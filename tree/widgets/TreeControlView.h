#pragma once

#include <QTreeView>

class NodeTree;

// The tree control of one pane: shows the nodes of a NodeTree. (Placeholder: being built.)
class TreeControlView : public QTreeView {
    Q_OBJECT
public:
    explicit TreeControlView(NodeTree& nodes, QWidget* parent = nullptr) : QTreeView(parent), nodes_(nodes) {}
    NodeTree& Nodes() { return nodes_; }

private:
    NodeTree& nodes_;
};
