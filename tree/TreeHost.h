#pragma once

#include <QString>

class NodeTree;

// What the tree class needs of the main window: its two tree controls and the production order
// and article fields of pane 0. The main window implements it; tests use a plain object.
class TreeHost {
public:
    virtual ~TreeHost() = default;

    // The node collection of tree control TreeViewCtr(index), index 0 or 1.
    virtual NodeTree& TreeViewCtr(int index) = 0;
    // Text of TB_ArtNr(0): the article number of the entered production order.
    virtual QString ArtNrText() const = 0;
    // Text of TBPaNr(0): the entered production order number.
    virtual QString PaNrText() const = 0;
};
