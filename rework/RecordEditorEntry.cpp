#include "rework/RecordEditorEntry.h"

#include "shell/UserDialogs.h"
#include "shell/VelkorError.h"
#include "tree/NodeKey.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "workstation/WorkstationHost.h"

bool IsEditorPassword(const QString& password) {
    return password == QLatin1String("Rk2Wq9TzLm4Xc7VbN1sD");
}

bool EditRecordsOfSelectedDevice(WorkstationHost& host, RecordEditors& editors, RecordKind kind) {
    host.SetStatus(WorkstationHost::Ready());
    if (!IsEditorPassword(Dialogs().PasswordBox())) {
        if (kind == RecordKind::SerialNumbers) {
            Dialogs().MsgBox(QStringLiteral("Falsches Passwort"));
        }
        return false;
    }
    TreeView& tree = host.Tree();
    const int pane = tree.TreeViewIndex();
    TreeNode* node = host.TreeViewCtr(pane).SelectedItem();
    const qint32 devId = node != nullptr ? DeviceIdOfKey(node->Key()) : 0;
    if (devId == 0) {
        return false;  // the entries are offered for device nodes only
    }
    const QString key = node->Key();
    editors.ShowEditor(kind, devId);

    // The editor changed what the counters count. The node is found again by its key: the tree may have
    // changed while the editor was open.
    try {
        if (TreeNode* edited = host.TreeViewCtr(pane).Item(key)) {
            tree.InsertProdcodeCountInNodeWithDeviceIdText(edited);
            if (TreeNode* parent = edited->Parent()) {
                tree.InsertProdcodeCountInNodeWithDeviceIdText(parent);
            }
            tree.InsertProdcodeCountInNodeWithDeviceIdText(edited->Root());
        }
    } catch (const VelkorError& error) {
        Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure %3 of Formular FormMain")
                             .arg(error.Number())
                             .arg(error.Description(), kind == RecordKind::SerialNumbers
                                                           ? QStringLiteral("MnuEditSer_Click")
                                                           : QStringLiteral("MnuDelete_Click")));
    }
    host.ProcessPendingEvents();
    host.RepaintTree(pane);
    return true;
}
