#include "workstation/NewAssembly.h"

#include "db/AssemblyDbClass.h"
#include "shell/LikePattern.h"
#include "shell/UserDialogs.h"
#include "tree/TreeView.h"
#include "workstation/DeviceDisplay.h"
#include "workstation/Messages.h"
#include "workstation/WorkstationHost.h"

NewAssembly::NewAssembly(WorkstationHost& host, DeviceDisplay& display) : host_(host), display_(display) {}

void NewAssembly::CBNewAss_Click(qint16 index) {
    host_.Tree().SetTreeViewIndex(index);
    host_.SetStatus(WorkstationHost::Busy());
    NewAss();
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
}

void NewAssembly::NewAss() {
    AssemblyDbClass::OperationScope operation(AssemblyDbClass::Shared());  // one order laid out
    host_.SetStatus(WorkstationHost::Busy());
    const QString paNr = host_.PaNr(0);
    if (paNr.isEmpty()) {
        Dialogs().MsgBox(QStringLiteral("Bitte einen Produktionsauftrag eingeben!"));
    } else {
        TreeView& tree = host_.Tree();
        tree.CreateNodesForPA(paNr);
        tree.SelectNextNode(nullptr);
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
}

bool NewAssembly::FollowUp(const QString& keyword) {
    if (Like(keyword, QStringLiteral("*WCommit"))) {
        Dialogs().Beep(msg::kConfirmToneHz, msg::kConfirmToneMs);
        if (Dialogs().MsgBox(QStringLiteral("Bitte vollständige Asemblierung bestätigen"), MsgButtons::OkCancel) !=
            MsgAnswer::Ok) {
            return false;
        }
    }
    if (Like(keyword, QStringLiteral("SwapDevice*"))) {
        display_.SwapDevice(QString(), 0);
    }
    if (Like(keyword, QStringLiteral("NewDevice*"))) {
        NewAss();
    }
    return true;
}
