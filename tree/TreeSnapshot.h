#pragma once

#include <QString>
#include <vector>

class NodeTree;

// A copy of every node of a tree (key, text, images, expanded state, place in the hierarchy) and of the
// selection, to put the tree back as it was when the database work it showed was rolled back.
class TreeSnapshot {
public:
    explicit TreeSnapshot(const NodeTree& tree);
    // Replaces the nodes of the tree with the copy.
    void Restore(NodeTree& tree) const;

private:
    struct NodeCopy {
        int parentIndex;  // -1 at the top level
        QString key, text, image, selectedImage;
        bool expanded;
    };
    std::vector<NodeCopy> nodes_;  // in index order: a parent always comes before its children
    int selectedIndex_ = -1;
};
