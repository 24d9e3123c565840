#include "tests/walk/WalkGenerator.h"

#include <vector>

#include "tests/walk/WalkValues.h"
#include "tests/walk/WalkWorld.h"
#include "tree/NodeKey.h"
#include "tree/TreeNode.h"

namespace {

struct Weighted {
    const QString* kind;
    int weight;
};

// A lock wait, a deadlock, a lost connection, and a value another workstation recorded first (the repeated row the
// server refuses).
constexpr int kFaultCodes[] = {1205, 1213, 2013, 1062};

}  // namespace

void WalkGenerator::Name(WalkAction& action, const QString& keyArg, const QString& indexArg, const TreeNode* node) {
    if (node != nullptr) {
        action.args.insert(keyArg, node->Key());
        action.args.insert(indexArg, QString::number(node->Index()));
    }
}

TreeNode* WalkGenerator::PickNode(const WalkWorld& world, int pane, int devicePercent) {
    const NodeTree& tree = world.host.trees[pane];
    if (tree.Count() == 0) {
        return nullptr;
    }
    std::vector<TreeNode*> devices, expected;
    for (int i = 0; i < tree.Count(); ++i) {
        TreeNode* node = tree.Item(i);
        (IsDeviceNodeKey(node->Key()) ? devices : expected).push_back(node);
    }
    const bool device = !devices.empty() && (expected.empty() || values_.Chance(devicePercent));
    const std::vector<TreeNode*>& from = device ? devices : expected;
    return from[static_cast<size_t>(values_.Below(static_cast<int>(from.size())))];
}

WalkAction WalkGenerator::Next(const WalkWorld& world) {
    const WorkflowTestHost& host = world.host;
    const bool noOrder = host.paNr[0].isEmpty() || host.trees[0].Count() == 0;
    const bool rightShown = host.trees[1].Count() > 0;
    // clang-format off
    const Weighted weights[] = {
        {&walk::kOrder, noOrder ? 25 : 4},  {&walk::kNewAss, noOrder ? 15 : 6}, {&walk::kSelect, 10},
        {&walk::kScan, 34},                 {&walk::kDblClick, 12},              {&walk::kShow, rightShown ? 5 : 9},
        {&walk::kRemove, 6},                {&walk::kDrop, rightShown ? 8 : 1}, {&walk::kEditor, 7},
        {&walk::kRestart, faults_ ? 1 : 0},
    };
    // clang-format on
    int total = 0;
    for (const Weighted& w : weights) {
        total += w.weight;
    }
    int roll = values_.Below(total);
    const QString* kind = weights[0].kind;
    for (const Weighted& w : weights) {
        if (roll < w.weight) {
            kind = w.kind;
            break;
        }
        roll -= w.weight;
    }

    WalkAction action;
    action.kind = *kind;
    if (*kind == walk::kOrder) {
        const int pane = values_.Chance(75) ? 0 : 1;
        action.args.insert(QStringLiteral("pane"), QString::number(pane));
        action.args.insert(QStringLiteral("pa"), values_.OrderValue());
    } else if (*kind == walk::kNewAss) {
        // Only the left pane: "Neuer Zusammenbau" of the right one lays out the order of the left pane there.
        action.args.insert(QStringLiteral("pane"), QStringLiteral("0"));
    } else if (*kind == walk::kSelect) {
        const int pane = values_.Chance(80) ? 0 : 1;
        action.args.insert(QStringLiteral("pane"), QString::number(pane));
        Name(action, QStringLiteral("node"), QStringLiteral("at"), PickNode(world, pane, 30));
    } else if (*kind == walk::kScan) {
        // A new assembly often begins with a part recorded before: one taken out of another assembly, or a device
        // that heads an assembly of its own.
        const bool fresh = host.trees[0].TopLevelCount() > 0 && !IsDeviceNodeKey(host.trees[0].TopLevel(0)->Key());
        action.args.insert(QStringLiteral("value"),
                           fresh && values_.Chance(30) ? values_.FreeAssemblyCode() : values_.ScanValue());
    } else if (*kind == walk::kDblClick) {
        if (values_.Chance(60)) {
            Name(action, QStringLiteral("node"), QStringLiteral("at"), PickNode(world, 0, 30));
        }
    } else if (*kind == walk::kShow) {
        action.args.insert(QStringLiteral("pane"), values_.Chance(65) ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (*kind == walk::kRemove || *kind == walk::kEditor) {
        const int pane = values_.Chance(60) ? 0 : 1;
        action.args.insert(QStringLiteral("pane"), QString::number(pane));
        Name(action, QStringLiteral("node"), QStringLiteral("at"), PickNode(world, pane, 85));
        if (*kind == walk::kEditor) {
            action.args.insert(QStringLiteral("records"),
                               values_.Chance(50) ? QStringLiteral("ser") : QStringLiteral("prod"));
        }
    } else if (*kind == walk::kDrop) {
        Name(action, QStringLiteral("source"), QStringLiteral("sat"), PickNode(world, 1, 80));
        if (values_.Chance(92)) {
            Name(action, QStringLiteral("target"), QStringLiteral("tat"), PickNode(world, 0, 35));
        }
    }
    if (faults_ && *kind != walk::kRestart && *kind != walk::kSelect && values_.Chance(20)) {
        // A repeated row only where one pass records the value (the double-click tries a value of both formats
        // twice, and the second pass asks the database whether the first recorded it).
        action.faultCode = kFaultCodes[values_.Below(*kind == walk::kScan ? 4 : 3)];
        const int roll = values_.Below(10);
        action.faultAt = 1 + values_.Below(roll < 4 ? 12 : roll < 8 ? 40 : 80);
    }
    return action;
}
