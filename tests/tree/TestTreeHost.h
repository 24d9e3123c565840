#pragma once

#include <QString>

#include "tree/NodeTree.h"
#include "tree/TreeHost.h"

// The main window as the tree class sees it: two tree controls and the order fields of pane 0.
struct TestTreeHost : TreeHost {
    NodeTree trees[2];
    QString artNrText;  // TB_ArtNr(0): the product code of the entered order
    QString paNrText;   // TBPaNr(0)

    NodeTree& TreeViewCtr(int index) override { return trees[index]; }
    QString ArtNrText() const override { return artNrText; }
    QString PaNrText() const override { return paNrText; }
};
