#include "rework/BackfitDrop.h"

#include <algorithm>

#include "db/AssemblyDbClass.h"
#include "shell/CorrectionLog.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeSnapshot.h"
#include "tree/TreeView.h"
#include "workstation/ComponentCapture.h"
#include "workstation/Messages.h"
#include "workstation/WorkstationHost.h"

namespace {

// The passwords of the rework at the workstation.
const char* const kConversionPassword = "qorv";
const char* const kMovePassword = "58047m";

AssemblyDbClass& Db() {
    return AssemblyDbClass::Shared();
}

QString NoOrderForConversion() {
    return QStringLiteral("Kein PA für Umrüstung vorhanden. Bitte verwenden Sie den entspechenden PA um umzurüsten");
}

// The trees as they were before a drop, to show them again when its database work is rolled back.
struct TreesBefore {
    explicit TreesBefore(WorkstationHost& host) : left(host.TreeViewCtr(0)), right(host.TreeViewCtr(1)) {}
    void Restore(WorkstationHost& host) const {
        left.Restore(host.TreeViewCtr(0));
        right.Restore(host.TreeViewCtr(1));
    }
    TreeSnapshot left;
    TreeSnapshot right;
};

void FailureEnding(WorkstationHost& host, const TreesBefore& before, const VelkorError& error) {
    // Nothing was scanned: the drop keeps its own text and only names a lost connection.
    QString text = QStringLiteral("Es ist Ein Fehler Aufgetereten. Der Vorgang wird Rückgängig gemacht");
    if (IsConnectionLost(error)) {
        text += msg::Crlf() + QStringLiteral("Keine Verbindung zur Datenbank.");
    }
    Dialogs().MsgBox(text);
    if (Db().OpenTransactionCount() > 0) {
        try {
            Db().RollbackAll();
        } catch (const VelkorError&) {
            // The connection is gone; the server discards the open transaction with it.
        }
    }
    before.Restore(host);
}

QList<TreeNode*> NodesShowing(const NodeTree& tree, qint32 devId) {
    QList<TreeNode*> nodes;
    for (int i = 0; i < tree.Count(); ++i) {
        TreeNode* node = tree.Item(i);
        if (IsDeviceNodeKey(node->Key()) && DeviceIdOfKey(node->Key()) == devId) {
            nodes.append(node);
        }
    }
    return nodes;
}

void AddWithDevicesAbove(QList<TreeNode*>& nodes, TreeNode* node) {
    for (; node != nullptr; node = node->Parent()) {
        if (!nodes.contains(node)) {
            nodes.append(node);
        }
    }
}

// The device the device is built into, as recorded now; 0 when it is built into none.
qint32 RecordedParent(AssemblyDbClass& db, qint32 devId) {
    const QVariant assNr = db.GetAssemblyfromDevID(devId);
    const QVariant parentAssNr = IsNullOrEmpty(assNr) ? QVariant() : db.GetPrevAssembly(assNr.toInt());
    return IsNullOrEmpty(parentAssNr) ? 0 : db.GetDevIdFromAssNr(parentAssNr.toInt()).toInt();
}

// The device the screen shows the node's device built into; 0 at the top of its tree.
qint32 ShownParent(const TreeNode* node) {
    for (const TreeNode* above = node->Parent(); above != nullptr; above = above->Parent()) {
        if (IsDeviceNodeKey(above->Key())) {
            return DeviceIdOfKey(above->Key());
        }
    }
    return 0;
}

// Inside the drop's transaction, once the devices are guarded: true when another workstation has changed them since
// they were shown (the drop would act on a place that no longer holds them); the supervisor is told.
bool ChangedMeanwhile(AssemblyDbClass& db, const TreeNode* source, qint32 targetDevId) {
    const qint32 sourceDevId = DeviceIdOfKey(source->Key());
    const bool changed = RecordedParent(db, sourceDevId) != ShownParent(source) ||
                         (targetDevId != 0 && (!db.GetSerNrFromDeviceID(targetDevId).isEmpty() ||
                                               !IsNullOrEmpty(db.GetProdCodeWithDevID(targetDevId)) ||
                                               !db.GetExtSerNrFromDeviceID(targetDevId).isEmpty()));
    if (changed) {
        Dialogs().MsgBox(
            QStringLiteral("Das Gerät wurde inzwischen an einem anderen Arbeitsplatz geändert. Bitte "
                           "die Anzeige neu laden und den Vorgang wiederholen."));
    }
    return changed;
}

int Depth(const TreeNode* node) {
    int depth = 0;
    for (; node->Parent() != nullptr; node = node->Parent()) {
        ++depth;
    }
    return depth;
}

}  // namespace

BackfitDrop::BackfitDrop(WorkstationHost& host, ComponentCapture& capture) : host_(host), capture_(capture) {}

void BackfitDrop::Drop(int index, const QString& sourceName, TreeNode* sourceNode, TreeNode* targetNode) {
    if (targetNode != nullptr) {
        host_.TreeViewCtr(index).SetSelectedItem(targetNode);
    }
    if (!sourceName.startsWith(QStringLiteral("TreeViewCtr"), Qt::CaseInsensitive) || index != 0 ||
        DragSourceIndex < 0 || DragSourceIndex > 1) {
        return;
    }
    TreeNode* source = sourceNode;
    host_.SetStatus(WorkstationHost::Busy());
    if (host_.TreeViewCtr(0).Count() == 0) {
        Dialogs().MsgBox(
            QStringLiteral("Kein Einfügen in leere Struktur möglich. Erstellen sie zuerst ein neues Gerät."));
    } else if (targetNode != nullptr && source != nullptr) {
        AssemblyDbClass& db = Db();
        const qint32 targetDevId = DeviceIdOfKey(targetNode->Key());
        const QString sourceArtNr = GetArtNrFromNodeText(source->Text());
        const QString targetArtNr = GetArtNrFromNodeText(targetNode->Text());
        if (targetDevId != 0 &&
            (!db.GetSerNrFromDeviceID(targetDevId).isEmpty() || !IsNullOrEmpty(db.GetProdCodeWithDevID(targetDevId)) ||
             !db.GetExtSerNrFromDeviceID(targetDevId).isEmpty())) {
            Dialogs().MsgBox(QStringLiteral("Der Zielknoten beinhalten eine Komponente mit Seriennummer oder "
                                            "Produktionscode.") +
                             msg::Crlf() + QStringLiteral("Daher muss die Zuweisung erst aufgelöst werden."));
        } else if (!IsDeviceNodeKey(source->Key())) {
            Dialogs().MsgBox(QStringLiteral("Ein Leeres Element kann nicht verschoben werden."));
        } else if (targetArtNr != sourceArtNr && IsDeviceNodeKey(targetNode->Key())) {
            Convert(source, targetNode, sourceArtNr, targetArtNr);
        } else {
            Move(source, sourceArtNr, targetArtNr);
        }
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
}

bool BackfitDrop::ConfirmOtherArticle(const QString& sourceArtNr, const QString& targetArtNr) {
    return Dialogs().MsgBox(
               QStringLiteral("Die Artikelnummern '%1' und  '%2' sind abweichend.  ").arg(sourceArtNr, targetArtNr) +
                   msg::Crlf() +
                   QStringLiteral("Sind Sie sicher, dass '%1' umgerüsttet werden soll ?").arg(sourceArtNr),
               MsgButtons::YesNo) == MsgAnswer::Yes;
}

void BackfitDrop::Convert(TreeNode* source, TreeNode* target, const QString& sourceArtNr, const QString& targetArtNr) {
    if (!ConfirmOtherArticle(sourceArtNr, targetArtNr)) {
        return;
    }
    if (Dialogs().PasswordBox() != QLatin1String(kConversionPassword)) {
        Dialogs().MsgBox(QStringLiteral("Falsches Passwort"));
        return;
    }
    AssemblyDbClass& db = Db();
    const QString paNr = host_.PaNr(0);
    const qint32 order = static_cast<qint32>(LeadingNumber(paNr));
    if (order == 0 || !db.GetArtNrFromPaNrKHK(paNr).startsWith(targetArtNr)) {
        Dialogs().MsgBox(NoOrderForConversion());
        return;
    }
    const qint32 sourceDevId = DeviceIdOfKey(source->Key());
    const qint32 targetDevId = DeviceIdOfKey(target->Key());
    const TreesBefore before(host_);
    qint32 placeholderDevId = 0;
    AssemblyDbClass::JournalEntry journal(db, QStringLiteral("conversion"), paNr);
    QStringList details;
    try {
        db.Begin();
        db.GuardDevice(sourceDevId);
        db.GuardDevice(targetDevId);
        if (ChangedMeanwhile(db, source, targetDevId)) {
            db.RollbackAll();
            return;
        }
        placeholderDevId = db.CreateDevice().toInt();
        QString oldArtNr = sourceArtNr;
        db.InsertArtNrWithDevID(oldArtNr, placeholderDevId, 0);  // the placeholder keeps the old article
        db.UpdateDevIDinAssembly(sourceDevId, placeholderDevId, order);
        db.UpdateArtNrWithDevID(targetArtNr, sourceDevId, 0);
        db.SetOKFlagInAssembly(sourceDevId, false);
        db.UpdateDevIDinAssembly(targetDevId, sourceDevId, order);  // the device takes over the target's place
        db.InsertPaNrWithDevID(paNr, sourceDevId);
        // The trees follow inside the unit of work: their counters write completion flags, which belong to it,
        // and a failure on the way undoes the records and the screen together.
        ShowConversion(sourceDevId, targetDevId, placeholderDevId);
        details = QStringList{
            QStringLiteral("Gerät %1: Artikel %2 -> %3, PA %4").arg(sourceDevId).arg(sourceArtNr, targetArtNr, paNr),
            QStringLiteral("nimmt den Platz von Gerät %1 ein").arg(targetDevId),
            QStringLiteral("alter Platz -> Platzhalter Gerät %1 (%2)").arg(placeholderDevId).arg(sourceArtNr)};
        journal.SetDetail(details.join(QStringLiteral("; ")));
        db.Commit();
    } catch (const VelkorError& error) {
        FailureEnding(host_, before, error);
        return;
    }
    LogCorrection(QStringLiteral("Umrüstung"), details);
}

void BackfitDrop::ShowConversion(qint32 sourceDevId, qint32 targetDevId, qint32 placeholderDevId) {
    TreeView& tree = host_.Tree();
    for (qint16 index = 0; index < 2; ++index) {
        // The places are found before any node changes: wherever a tree shows the converted device, the placeholder
        // now holds that place with what was built into it, and wherever it shows the target, the converted device
        // has taken over that place with the target's components. (Both trees may show the same assembly.)
        const QList<TreeNode*> oldPlaces = NodesShowing(host_.TreeViewCtr(index), sourceDevId);
        const QList<TreeNode*> newPlaces = NodesShowing(host_.TreeViewCtr(index), targetDevId);
        tree.SetTreeViewIndex(index);
        QList<TreeNode*> changed;
        for (TreeNode* node : oldPlaces) {
            tree.InsertDeviceIntoSpecifiedNode(node, placeholderDevId);
            AddWithDevicesAbove(changed, node);
        }
        for (TreeNode* node : newPlaces) {
            tree.InsertDeviceIntoSpecifiedNode(node, sourceDevId);
            AddWithDevicesAbove(changed, node);
        }
        // Counters, images and flags follow, the deepest node first, so that each one counts what is below it.
        std::stable_sort(changed.begin(), changed.end(),
                         [](const TreeNode* a, const TreeNode* b) { return Depth(a) > Depth(b); });
        for (TreeNode* node : changed) {
            tree.InsertProdcodeCountInNodeWithDeviceIdText(node);
        }
    }
    tree.SetTreeViewIndex(0);
}

void BackfitDrop::Move(TreeNode* source, const QString& sourceArtNr, const QString& targetArtNr) {
    if (targetArtNr != sourceArtNr) {
        if (!ConfirmOtherArticle(sourceArtNr, targetArtNr)) {
            return;
        }
        if (Dialogs().PasswordBox() != QLatin1String(kMovePassword)) {
            return;
        }
    }
    AssemblyDbClass& db = Db();
    const TreesBefore before(host_);
    TreeView& tree = host_.Tree();
    const TreeNode* slot = host_.TreeViewCtr(0).SelectedItem();  // the drop made the target the selected node
    const QString targetKey = slot != nullptr ? slot->Key() : QString();
    AssemblyDbClass::JournalEntry journal(db, QStringLiteral("move"), host_.PaNr(0));
    try {
        db.Begin();
        const qint32 sourceDevId = DeviceIdOfKey(source->Key());
        db.GuardDevice(sourceDevId);
        if (ChangedMeanwhile(db, source, 0)) {
            db.RollbackAll();
            return;
        }
        const QVariant prodCode = db.GetProdCodeWithDevID(sourceDevId);
        if (IsNullOrEmpty(prodCode)) {
            Dialogs().MsgBox(
                QStringLiteral("Einfügen nicht möglich. Die einzufügene Komponente besitzt keinen Produktionscode."));
            db.Rollback();
            return;
        }
        // A device shown at the top of the right tree is a member of nothing: there is no membership to end, and
        // it stays shown there with its components.
        const TreeNode* formerParent = source->Parent();
        const qint32 formerOwner = formerParent != nullptr ? DeviceIdOfKey(formerParent->Key()) : 0;
        if (formerParent != nullptr) {
            db.DeleteAssemblyWithDevID(db.GetAssemblyfromDevID(sourceDevId).toInt());
            tree.SetTreeViewIndex(DragSourceIndex);
            tree.ClearDeviceInNode(source);
        }
        tree.SetTreeViewIndex(0);
        // Recorded into the selected node of the left tree, which the drop made the target; the removal
        // above and the scan-in are one unit of work.
        const bool recorded = capture_.ProdCodeSerNrScanInput(prodCode.toString(), QString());
        // The scan-in ends with the window ready, but the drop goes on until its unit of work is kept or undone.
        host_.SetStatus(WorkstationHost::Busy());
        // A scan-in that recorded nothing, or whose ending took the drop's transaction with it, fails the move.
        if (!recorded || db.OpenTransactionCount() < 1) {
            throw VelkorError(kAppErrorNumber, QStringLiteral("Failed to Insert Backfit Device"));
        }
        const QStringList details{
            QStringLiteral("Gerät %1 (%2, Produktionscode %3)").arg(sourceDevId).arg(sourceArtNr, prodCode.toString()),
            (formerOwner != 0 ? QStringLiteral("aus Gerät %1").arg(formerOwner) : QStringLiteral("frei")) +
                QStringLiteral(" -> Platz %1 (%2) unter PA %3").arg(targetKey, targetArtNr, host_.PaNr(0))};
        journal.SetDetail(details.join(QStringLiteral("; ")));
        db.Commit();
        LogCorrection(QStringLiteral("Verschoben"), details);
    } catch (const VelkorError& error) {
        FailureEnding(host_, before, error);
        return;
    }
    capture_.RunDeferredFollowUp();
}
