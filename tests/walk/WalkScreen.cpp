// The trees on screen against the trees built afresh from the database.

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkChecks.h"
#include "tests/walk/WalkWorker.h"
#include "tests/walk/WalkWorld.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/TreeNode.h"

namespace {

// Every node as "key | parent key | text | image", sorted: the order nodes were added in says nothing about
// what is recorded.
QStringList Rows(const NodeTree& tree) {
    QStringList rows;
    for (int i = 0; i < tree.Count(); ++i) {
        const TreeNode* node = tree.Item(i);
        rows.append(QStringLiteral("%1 | %2 | %3 | %4")
                        .arg(node->Key(), node->Parent() != nullptr ? node->Parent()->Key() : QStringLiteral("-"),
                             node->Text().simplified(), node->Image()));
    }
    rows.sort();
    return rows;
}

// The topmost device nodes of a tree: those whose parent stands for no device.
QList<const TreeNode*> TopDevices(const NodeTree& tree) {
    QList<const TreeNode*> tops;
    for (int i = 0; i < tree.Count(); ++i) {
        const TreeNode* node = tree.Item(i);
        if (IsDeviceNodeKey(node->Key()) && (node->Parent() == nullptr || !IsDeviceNodeKey(node->Parent()->Key()))) {
            tops.append(node);
        }
    }
    return tops;
}

// Builds the pane's view again in the reference host; false (with the reason) when it cannot be built.
bool Rebuild(WalkWorld& world, int pane, WorkflowTestHost& reference, QString& reason) {
    const NodeTree& screen = world.host.trees[pane];
    const QString order = world.LayoutOrder(pane);
    TreeView& tree = reference.tree;
    tree.SetTreeViewIndex(static_cast<qint16>(pane));
    reference.paNr[pane] = order;
    if (!order.isEmpty()) {
        tree.CreateNodesForPA(order);
    }
    for (const TreeNode* shown : TopDevices(screen)) {
        const qint32 devId = DeviceIdOfKey(shown->Key());
        TreeNode* slot = nullptr;
        if (shown->Parent() == nullptr) {
            if (order.isEmpty()) {
                slot = tree.CreateRootDevice(AssemblyDbClass::Shared().GetArtNrFromDevID(devId).toString());
            } else if (reference.trees[pane].TopLevelCount() > 0) {
                slot = reference.trees[pane].TopLevel(0);
            }
        } else {
            slot = reference.trees[pane].Item(
                ExpectedNodeKey(GetArtNrFromNodeText(shown->Text()), KeySuffix(shown->Key())));
        }
        if (slot == nullptr) {
            reason = QStringLiteral("device node %1 (%2) stands where the order has no place for it")
                         .arg(shown->Key(), shown->Text().simplified());
            return false;
        }
        tree.InsertDeviceIntoSpecifiedNode(slot, devId);
        tree.InsertSubAssemblysFromDeviceID(devId, slot);
        tree.InsertProdcodeCountInNodeWithDeviceIdText(slot);
    }
    return true;
}

}  // namespace

QList<WalkFinding> CompareScreens(WalkWorld& world, WalkWorker& worker) {
    QList<WalkFinding> findings;
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    if (db.OpenTransactionCount() != 0) {
        return findings;  // reported as an open transaction; a rebuild inside it would end it
    }
    worker.SetChecking(true);
    for (int pane = 0; pane < 2; ++pane) {
        WorkflowTestHost reference;
        reference.artNr = world.host.artNr;
        QString reason;
        bool built = false;
        // Building a view brings the completion flags of the devices it shows up to date: undone afterwards, so
        // that the check leaves the database as the action left it.
        try {
            db.Begin();
            built = Rebuild(world, pane, reference, reason);
            db.RollbackAll();
        } catch (const VelkorError& error) {
            reason = QStringLiteral("the view could not be built again: ") + error.Description();
            try {
                db.RollbackAll();
            } catch (const VelkorError&) {
            }
        }
        if (!built) {
            findings.append({QStringLiteral("screen-differs"), QStringLiteral("pane %1: %2").arg(pane).arg(reason)});
            continue;
        }
        const QStringList shown = Rows(world.host.trees[pane]);
        const QStringList fresh = Rows(reference.trees[pane]);
        if (shown != fresh) {
            QStringList onlyShown, onlyFresh;
            for (const QString& row : shown) {
                if (!fresh.contains(row)) {
                    onlyShown.append(row);
                }
            }
            for (const QString& row : fresh) {
                if (!shown.contains(row)) {
                    onlyFresh.append(row);
                }
            }
            findings.append({QStringLiteral("screen-differs"),
                             QStringLiteral("pane %1 (order \"%2\"): on screen [%3], from the database [%4]")
                                 .arg(pane)
                                 .arg(world.LayoutOrder(pane), onlyShown.join(QStringLiteral("; ")),
                                      onlyFresh.join(QStringLiteral("; ")))});
        }
    }
    worker.SetChecking(false);
    return findings;
}
