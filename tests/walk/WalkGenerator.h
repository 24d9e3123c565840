#pragma once

#include "tests/walk/WalkAction.h"

class WalkValues;
class WalkWorld;
class TreeNode;

// Chooses what the worker or supervisor does next, from what the window shows now: mostly scans into the
// order of pane 0, and now and then everything else the workstation offers. With faults, a statement of the
// action fails as the server would fail it, and now and then the server is restarted between two actions.
class WalkGenerator {
public:
    WalkGenerator(WalkValues& values, bool faults) : values_(values), faults_(faults) {}

    WalkAction Next(const WalkWorld& world);

private:
    // A node of the pane: a device node with the given chance when there is one; null when the tree is empty.
    TreeNode* PickNode(const WalkWorld& world, int pane, int devicePercent);
    static void Name(WalkAction& action, const QString& keyArg, const QString& indexArg, const TreeNode* node);

    WalkValues& values_;
    bool faults_;
};
