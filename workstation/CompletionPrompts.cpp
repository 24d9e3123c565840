#include "workstation/CompletionPrompts.h"

#include "db/AssemblyDbClass.h"
#include "db/SerNrFormat.h"
#include "shell/ScanFormats.h"
#include "shell/UserDialogs.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "workstation/Messages.h"
#include "db/StorableValue.h"
#include "workstation/WorkstationHost.h"

namespace {

AssemblyDbClass& Db() {
    return AssemblyDbClass::Shared();
}

}  // namespace

CompletionPrompts::CompletionPrompts(WorkstationHost& host) : host_(host) {}

bool CompletionPrompts::PromptRemainingProdCodes(TreeNode*& node) {
    host_.SetStatus(WorkstationHost::Busy());
    AssemblyDbClass& db = Db();
    const qint32 devId = node != nullptr ? DeviceIdOfKey(node->Key()) : 0;
    if (devId == 0) {
        host_.SetStatus(WorkstationHost::Ready());
        return false;
    }
    TreeView& tree = host_.Tree();
    const QString artNr = GetArtNrFromNodeText(node->Text());
    // Only the device's own codes count: those of its components are theirs.
    int recorded = db.GetNumberOfProdctionCodesFromDevID(devId);
    const int expected = db.GetProdCodeCountFromBillOfMat(artNr);
    const int below = tree.CountPreviousProdCodesAquiredInTree(node);
    const int own = expected - below;

    if (db.GetOKFlagInAssembly(devId)) {
        host_.SetStatus(WorkstationHost::Ready());
        return true;
    }
    bool result = false;
    if (own == 0 || recorded >= own) {
        if (InsertSerIfNeeded(node)) {
            db.SetOKFlagInAssembly(devId, true);
            result = true;
        }
    }
    while (recorded < own) {
        const QString value =
            Dialogs().InputBox(QStringLiteral("Bitte Scannen sie die verbleibenen Produktionscodes ein"),
                               QStringLiteral("Produktionscode Eingabe"));
        if (value.isEmpty()) {  // Cancel
            host_.SetStatus(WorkstationHost::Ready());
            return result;
        }
        if (!IsProdCodeFormat(value)) {
            Dialogs().MsgBox(QStringLiteral("Eingabe entspricht nicht dem Produktioncode Format") + msg::Crlf() +
                             QStringLiteral(" Möchten Sie stattdessen die Komponente als 'Fertig' markieren und den "
                                            "Vorgang beenden? "));
            host_.SetStatus(WorkstationHost::Ready());
            return result;
        }
        const QString refusal = StorageRefusal(value, ColumnLimits::Column::ProductionCode, msg::ScannedValue());
        if (!refusal.isEmpty()) {
            Dialogs().MsgBox(refusal);
            host_.SetStatus(WorkstationHost::Ready());
            return result;
        }
        host_.ShowScannedValue(value);
        host_.ShowScannedArticle(db.GetArtNrFromDevID(db.GetDevIdFromProdCodeOrSerNr(value, QString())).toString());
        if (db.CheckProdCode(value)) {
            if (Dialogs().MsgBox(QStringLiteral("Produktionscode bereits vorhanden"), MsgButtons::RetryCancel) ==
                MsgAnswer::Retry) {
                continue;
            }
            host_.SetStatus(WorkstationHost::Ready());
            return result;
        }
        if (db.GetTestReqiredFromBillOfMat(artNr) && !db.IsDeviceTested(devId)) {
            if (Dialogs().MsgBox(msg::UntestedProdCode(), MsgButtons::YesNoDefaultNo) != MsgAnswer::Yes) {
                host_.SetStatus(WorkstationHost::Ready());
                return false;
            }
        }
        db.InsertProdCodeWithDevID(value, devId);
        recorded = db.GetNumberOfProdctionCodesFromDevID(devId);
        tree.InsertProdcodeCountInNodeWithDeviceIdText(node);
        tree.InsertProdcodeCountInNodeWithDeviceIdText(node->Root());
    }
    // All own codes are there: the device is complete once its serial numbers are.
    result = InsertSerIfNeeded(node);
    if (result) {
        db.SetOKFlagInAssembly(devId, true);
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
    return result;
}

bool CompletionPrompts::InsertSerIfNeeded(TreeNode*& node) {
    host_.SetStatus(WorkstationHost::Busy());
    AssemblyDbClass& db = Db();
    const qint32 devId = node != nullptr ? DeviceIdOfKey(node->Key()) : 0;
    bool result = false;
    if (devId != 0) {
        const QString artNr = GetArtNrFromNodeText(node->Text());
        if (db.GetSerNrCountFromBillOfMat(artNr) > 0 && db.GetSerNrFromDeviceID(devId).isEmpty()) {
            result = AskForMissingSerNr(devId, false);
        } else if (db.GetExtSerCountFromBillOfMat(artNr) > 0 && db.GetExtSerNrFromDeviceID(devId).isEmpty()) {
            result = AskForMissingSerNr(devId, true);
        } else {
            result = true;
        }
    }
    host_.SetStatus(WorkstationHost::Ready());
    return result;
}

bool CompletionPrompts::AskForMissingSerNr(qint32 devId, bool external) {
    AssemblyDbClass& db = Db();
    const QString kind = external ? QStringLiteral("Fremdseriennummer") : QStringLiteral("Seriennummer");
    QString value = Dialogs().InputBox(QStringLiteral("Eine %1 wird benötigt.").arg(kind) + msg::Crlf() + msg::Crlf() +
                                           QStringLiteral(" Bitte %1 eingeben.").arg(kind),
                                       QStringLiteral("Seriennummer Eingabe"));
    const QString refusal = StorageRefusal(value, ColumnLimits::Column::SerialNumber, msg::ScannedValue());
    if (!refusal.isEmpty()) {
        Dialogs().MsgBox(refusal);
        return false;
    }
    if (external) {
        if (value.isEmpty()) {
            Dialogs().MsgBox(QStringLiteral("Seriennummer ist ungültig"));
            return false;
        }
        if (db.InsertExtSerNrWithDevID(value, devId) != 1) {
            Dialogs().MsgBox(msg::SerNrUsed());
            return false;
        }
        return true;
    }
    if (!IsSerNrFormat(value)) {
        Dialogs().MsgBox(QStringLiteral("Seriennummer entspricht nicht dem zugelassenen Format") + msg::Crlf() +
                         QStringLiteral("und es ist keine Fremdseriennummer für diese Komponente vorgesehen."));
        return false;
    }
    if (db.InsertSerNrWithDevID(value, devId) != 1) {
        Dialogs().MsgBox(msg::SerNrUsed());
        return false;
    }
    return true;
}
