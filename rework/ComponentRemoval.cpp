#include "rework/ComponentRemoval.h"

#include "db/AssemblyDbClass.h"
#include "shell/CorrectionLog.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "shell/VelkorError.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "workstation/WorkstationHost.h"

void RemoveSelectedComponentFromAssembly(WorkstationHost& host) {
    TreeView& tree = host.Tree();
    const int pane = tree.TreeViewIndex();
    TreeNode* node = host.TreeViewCtr(pane).SelectedItem();
    if (node == nullptr || !IsDeviceNodeKey(node->Key())) {
        return;
    }
    if (node->Parent() == nullptr) {
        // The top of the tree is a member of nothing: there is no assignment to dissolve, and its components
        // stay where they are recorded.
        Dialogs().MsgBox(
            QStringLiteral("Das oberste Gerät ist in keiner Zuweisung verbaut und kann daher nicht entfernt werden."));
        return;
    }
    host.SetStatus(WorkstationHost::Busy());
    const QString artNr = GetArtNrFromNodeText(node->Text());
    const MsgAnswer answer =
        Dialogs().MsgBox(QStringLiteral("Sind Sie sicher, dass Sie die Komponente ") + artNr +
                             QStringLiteral(" aus der Zuweisung entfernen möchten ? \r\n Alle untergeordneten "
                                            "Komponenten werden dabei ebenfalls entfernt. "),
                         MsgButtons::YesNo, MsgIcon::Question);
    if (answer == MsgAnswer::Yes) {
        AssemblyDbClass& db = AssemblyDbClass::Shared();
        try {
            const qint32 devId = DeviceIdOfKey(node->Key());
            const QString detail = QStringLiteral("Gerät %1 (%2)").arg(devId).arg(artNr);
            // One unit of work with its journal row; a supervisor removing the same device at another workstation
            // waits until this one is kept.
            AssemblyDbClass::JournalEntry journal(db, QStringLiteral("removal"), host.PaNr(0), detail);
            db.Begin();
            db.GuardDevice(devId);
            const qint32 assNr = static_cast<qint32>(LeadingNumber(db.GetAssemblyfromDevID(devId).toString()));
            db.DeleteAssemblyWithDevID(assNr);
            db.NoteDeviceWritten(DeviceIdOfKey(node->Parent()->Key()));
            db.Commit();
            tree.ClearDeviceInNode(node);
            LogCorrection(QStringLiteral("Komponente entfernt"),
                          {detail, QStringLiteral("Baugruppe %1: Mitglied -> entfernt").arg(assNr)});
        } catch (const VelkorError& error) {
            try {
                db.RollbackAll();
            } catch (const VelkorError&) {
                // The connection is gone; the server discards the open transaction with it.
            }
            Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure MnuDeleteAssembly_Click of Formular FormMain")
                                 .arg(error.Number())
                                 .arg(error.Description()));
        }
    }
    host.ProcessPendingEvents();
    host.RepaintTree(pane);
    host.SetStatus(WorkstationHost::Ready());
}
