// The trees on screen against the trees built afresh from the database.

#include <QSet>

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkChecks.h"
#include "tests/walk/WalkWorker.h"
#include "tests/walk/WalkWorld.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/TreeNode.h"

namespace {

// A device node's key names the device and an instance suffix; the suffix depends on how the node came to hold
// the device (the piece digit of the slot it was scanned into, or the instance count of a device loaded), so
// only the device counts. Of the empty slots of a component that occurs several times only their number counts:
// a piece loaded from the database takes the first free slot of its article, whichever it was scanned into.
QString Comparable(const QString& key) {
    return IsDeviceNodeKey(key) ? QString::number(DeviceIdOfKey(key)) + QLatin1Char('K')
                                : key.section(QLatin1Char(' '), 0, 0) + QStringLiteral(" *");
}

// Every node as "key | parent key | text | image", sorted: the order nodes were added in says nothing about
// what is recorded. Without an order (a device shown from its root) an empty slot records nothing and has no
// place of its own: it is left out, as are empty slots below the order's first level.
QStringList Rows(const NodeTree& tree, bool withOrder) {
    QStringList rows;
    for (int i = 0; i < tree.Count(); ++i) {
        const TreeNode* node = tree.Item(i);
        // The order lays out one level of slots below its root; an empty slot deeper down is one a removal left
        // behind in a loaded sub-assembly, and the order has no place for it either.
        const bool deep = node->Parent() != nullptr && node->Parent()->Parent() != nullptr;
        if (!IsDeviceNodeKey(node->Key()) && (!withOrder || deep)) {
            continue;
        }
        rows.append(QStringLiteral("%1 | %2 | %3 | %4")
                        .arg(Comparable(node->Key()),
                             node->Parent() != nullptr ? Comparable(node->Parent()->Key()) : QStringLiteral("-"),
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
        // The screen never shows a device that is not recorded (one whose creation was undone).
        if (CountTestRows(QStringLiteral("device"), QStringLiteral("ID = ?"), {devId}) == 0) {
            reason = QStringLiteral("device node %1 (%2) shows device %3, which is not recorded")
                         .arg(shown->Key(), shown->Text().simplified())
                         .arg(devId);
            return false;
        }
        TreeNode* slot = nullptr;
        if (shown->Parent() == nullptr) {
            if (order.isEmpty()) {
                slot = tree.CreateRootDevice(AssemblyDbClass::Shared().GetArtNrFromDevID(devId).toString());
            } else if (reference.trees[pane].TopLevelCount() > 0) {
                slot = reference.trees[pane].TopLevel(0);
            }
        } else {
            // Shown in an empty slot: the database must not record it in an assembly the screen does not show.
            const QStringList parents = QueryTestRows(
                QStringLiteral("SELECT p.Device_Assembly FROM device_assembly a JOIN device_assembly z ON "
                               "z.Device_Assembly = a.AssemblyNum AND z.AssemblyType = ? JOIN device_assembly p ON "
                               "p.AssemblyNum = z.AssemblyNum AND p.AssemblyType = ? WHERE a.AssemblyType = ? AND "
                               "a.Device_Assembly = ?"),
                {QStringLiteral("Z"), QStringLiteral("A"), QStringLiteral("A"), devId});
            if (!parents.isEmpty()) {
                reason = QStringLiteral(
                             "device node %1 (%2) stands below the empty slot %3, but the database records "
                             "it as a component of device %4")
                             .arg(shown->Key(), shown->Text().simplified(), shown->Parent()->Key(), parents.join(", "));
                return false;
            }
            slot = tree.GetNodeWithoutDevIdWithArtNr(GetArtNrFromNodeText(shown->Text()), QVariant());
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

// The device node of the tree that holds the device, or null.
const TreeNode* DeviceNode(const NodeTree& tree, qint32 devId) {
    for (int i = 0; i < tree.Count(); ++i) {
        const TreeNode* node = tree.Item(i);
        if (IsDeviceNodeKey(node->Key()) && DeviceIdOfKey(node->Key()) == devId) {
            return node;
        }
    }
    return nullptr;
}

}  // namespace

QList<WalkFinding> CompareScreens(WalkWorld& world, WalkWorker& worker, int& staleViews) {
    QList<WalkFinding> findings;
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    if (db.OpenTransactionCount() != 0) {
        return findings;  // reported as an open transaction; a rebuild inside it would end it
    }
    worker.SetChecking(true);
    QSet<qint32> flagsReported;
    for (int pane = 0; pane < 2; ++pane) {
        WorkflowTestHost reference;
        reference.artNr = world.host.artNr;
        QString reason;
        bool built = false;
        // Building a view brings the completion flags of the devices it shows up to date: undone afterwards, so
        // that the check leaves the database as the action left it. A flag it clears was set against the counts.
        QList<qint32> cleared;
        AssemblyDbClass::SetStatementObserver([&cleared](const QString& sql, const QVariantList& values) {
            if (sql.startsWith(QLatin1String("UPDATE device_assembly SET OKFlag")) && values.size() == 2 &&
                values.at(0).toInt() == 0) {
                cleared.append(values.at(1).toInt());
            }
        });
        try {
            db.Begin();
            built = Rebuild(world, pane, reference, reason);
            AssemblyDbClass::SetStatementObserver({});
            for (qint32 devId : cleared) {
                const TreeNode* node = DeviceNode(reference.trees[pane], devId);
                const bool component =
                    node != nullptr && node->Parent() != nullptr && IsDeviceNodeKey(node->Parent()->Key());
                if (component && !world.FlagWriteFailed(devId) && !flagsReported.contains(devId)) {
                    flagsReported.insert(devId);
                    findings.append({QStringLiteral("flag-set-incomplete"),
                                     QStringLiteral("device %1 (%2, in %3) carries the completion flag; its counts "
                                                    "say it is not complete")
                                         .arg(devId)
                                         .arg(node->Text().simplified(), node->Parent()->Text().simplified())});
                }
            }
            db.RollbackAll();
        } catch (const VelkorError& error) {
            AssemblyDbClass::SetStatementObserver({});
            reason = QStringLiteral("the view could not be built again: ") + error.Description();
            try {
                db.RollbackAll();
            } catch (const VelkorError&) {
            }
        }
        if (world.Stale(pane)) {
            continue;  // made stale by an earlier action in the other pane, counted then
        }
        if (!world.Touched(pane)) {
            if (!built || Rows(world.host.trees[pane], !world.LayoutOrder(pane).isEmpty()) !=
                              Rows(reference.trees[pane], !world.LayoutOrder(pane).isEmpty())) {
                ++staleViews;
                world.MarkStale(pane);
            }
            continue;
        }
        if (!built) {
            findings.append({QStringLiteral("screen-differs"), QStringLiteral("pane %1: %2").arg(pane).arg(reason)});
            continue;
        }
        const bool withOrder = !world.LayoutOrder(pane).isEmpty();
        const QStringList shown = Rows(world.host.trees[pane], withOrder);
        const QStringList fresh = Rows(reference.trees[pane], withOrder);
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
