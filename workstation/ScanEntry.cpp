#include "workstation/ScanEntry.h"

#include "db/AssemblyDbClass.h"
#include "db/SerNrFormat.h"
#include "db/StorableValue.h"
#include "shell/ScanFormats.h"
#include "shell/UserDialogs.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "workstation/ComponentCapture.h"
#include "workstation/Messages.h"
#include "workstation/WorkstationHost.h"

ScanEntry::ScanEntry(WorkstationHost& host, ComponentCapture& capture) : host_(host), capture_(capture) {}

void ScanEntry::TreeViewCtr_DblClick(int index) {
    host_.SetStatus(WorkstationHost::Busy());
    if (host_.PaNr(index).isEmpty()) {
        Dialogs().MsgBox(msg::NoOrder());
        host_.SetStatus(WorkstationHost::Ready());
        return;
    }
    TreeNode* node = host_.TreeViewCtr(0).SelectedItem();
    if (index != 0 || node == nullptr || host_.LastMouseButton() != 1) {
        host_.SetStatus(WorkstationHost::Ready());
        return;
    }
    const QString value = Dialogs().InputBox(msg::ScanPrompt(), QStringLiteral("Produktionscode/Serinnummer Eingabe"));
    EnterValue(node, value, false);
}

void ScanEntry::TreeViewCtr_ScannedLine(const QString& value) {
    host_.SetStatus(WorkstationHost::Busy());
    NodeTree& tree = host_.TreeViewCtr(0);
    // As for a scanned production code: without an order, or without its structure, nothing takes the value.
    if (host_.PaNr(0).isEmpty() || tree.TopLevelCount() == 0) {
        Dialogs().MsgBox(msg::NoOrder());
        host_.SetStatus(WorkstationHost::Ready());
        host_.FocusTree(0);
        return;
    }
    TreeNode* node = tree.SelectedItem();
    if (node == nullptr) {
        host_.SetStatus(WorkstationHost::Ready());
        return;
    }
    EnterValue(node, value, true);
}

void ScanEntry::EnterValue(TreeNode* node, const QString& value, bool scanned) {
    const QString refusal = StorageRefusal(value, ColumnOfScan(value), msg::ScannedValue());
    if (!refusal.isEmpty()) {
        Dialogs().MsgBox(refusal);
        host_.SetStatus(WorkstationHost::Ready());
        host_.FocusTree(0);
        return;
    }
    int extSerNrs = 0;
    {
        AssemblyDbClass ownConnection;  // this one lookup runs on a connection of the handler's own
        extSerNrs = ownConnection.GetExtSerCountFromBillOfMat(GetArtNrFromNodeText(node->Text()));
    }
    const bool isProdCode = IsProdCodeFormat(value);
    const bool isSerNr = IsSerNrFormat(value);
    if (extSerNrs == 0 && (value.isEmpty() || (!isProdCode && !isSerNr))) {
        if (scanned) {
            Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
        }
        Dialogs().MsgBox(
            QStringLiteral("Der gescannte Wert entspricht werder einer Seriennummer noch einem "
                           "Produktionscodeformat. Bitte korregieren Sie Ihre Eingabe"));
        host_.SetStatus(WorkstationHost::Ready());
        host_.FocusTree(0);
        return;
    }
    bool recorded = false;
    if (isProdCode) {
        recorded = capture_.ProdCodeSerNrScanInput(value, QString());
        if (capture_.LastScanEndedInError()) {
            // The worker has been told the scan is discarded: the value is not tried again as a serial number.
            host_.SetStatus(WorkstationHost::Ready());
            host_.FocusTree(0);
            return;
        }
    }
    // A value of both formats ("P12345") is a serial number only when it was not taken as production code, and
    // never when it is recorded as one: the code pass has refused it then, and the same value recorded as a code
    // of one device and as a serial of another would name two devices.
    if (isSerNr && !recorded && !(isProdCode && AssemblyDbClass::Shared().CheckProdCode(value))) {
        capture_.ProdCodeSerNrScanInput(QString(), value);
    }
    if (!isProdCode && !isSerNr) {
        capture_.ProdCodeSerNrScanInput(QString(), value);
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
}
