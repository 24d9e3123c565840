// The capture of one scan: preconditions, acceptance against the bill of materials, the device node path,
// completion, the follow-up action and the error ending. The placements on expected nodes are in
// CapturePlacement.cpp.

#include "workstation/ComponentCapture.h"

#include "db/AssemblyDbClass.h"
#include "db/ProviderError.h"
#include "db/SerNrFormat.h"
#include "db/StorableValue.h"
#include "shell/LikePattern.h"
#include "shell/Misc.h"
#include "shell/ScanFormats.h"
#include "shell/UserDialogs.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeSnapshot.h"
#include "tree/TreeView.h"
#include "workstation/CompletionPrompts.h"
#include "workstation/DeviceDisplay.h"
#include "workstation/Messages.h"
#include "workstation/NewAssembly.h"
#include "workstation/RerunDialogs.h"
#include "workstation/WorkstationHost.h"

namespace {

AssemblyDbClass& Db() {
    return AssemblyDbClass::Shared();
}

// Why the scan cannot be recorded as it is, with the order number and the articles the capture writes along
// with it; empty when each of them fits its column.
QString RecordingRefusal(const QString& prodCode, const QString& serNr, const QString& paNr,
                         const QStringList& artNrs) {
    using Column = ColumnLimits::Column;
    QString refusal = StorageRefusal(prodCode, Column::ProductionCode, msg::ScannedValue());
    if (refusal.isEmpty()) {
        refusal = StorageRefusal(serNr, Column::SerialNumber, msg::ScannedValue());
    }
    if (refusal.isEmpty()) {
        refusal = OrderNumberRefusal(paNr);
    }
    for (const QString& artNr : artNrs) {
        if (refusal.isEmpty()) {
            refusal = StorageRefusal(TrimBlanks(artNr), Column::ProductCode,
                                     QStringLiteral("Die Artikelnummer %1").arg(artNr));
        }
    }
    return refusal;
}

}  // namespace

ComponentCapture::ComponentCapture(WorkstationHost& host, CompletionPrompts& prompts, DeviceDisplay& display,
                                   NewAssembly& newAss)
    : host_(host), prompts_(prompts), display_(display), newAss_(newAss) {}

bool ComponentCapture::ProdCodeSerNrScanInput(const QString& prodCode, const QString& serNr) {
    result_ = false;
    errorEnded_ = false;
    deferredFollowUp_.clear();
    switchTo_.clear();
    // Inside a caller's unit of work (the scan-in of a move) the follow-up waits until the caller has kept it.
    insideUnitOfWork_ = Db().OpenTransactionCount() > 0;
    const bool insideUnitOfWork = insideUnitOfWork_;
    AssemblyDbClass::OperationScope operation(Db());  // one scan: the ERP answers are read once
    scanStart_.emplace(host_.TreeViewCtr(0));
    // On a cluster a commit can be refused because a transaction of another node certified first: the scan
    // runs once more from its start, answering the dialogs the worker has answered already.
    std::optional<RerunDialogs> rerunDialogs;
    if (!insideUnitOfWork && Db().OnCluster()) {
        rerunDialogs.emplace(Dialogs());
    }
    QString keyword;
    for (bool rerun = false;; rerun = true) {
        try {
            // Only the first run may be run again: a deadlock it meets is not reported, the second run's is.
            std::optional<AssemblyDbClass::ScanRunsAgainOnDeadlock> quiet;
            if (!rerun && rerunDialogs) {
                quiet.emplace();
            }
            keyword = Capture(prodCode, serNr);
        } catch (const VelkorError& error) {
            if (!rerun && rerunDialogs && RefusedByCluster(error)) {
                PrepareRerun();
                rerunDialogs->StartRerun();
                continue;
            }
            ErrorEnding(error);
            errorEnded_ = true;
            result_ = false;  // nothing of the scan is recorded: a caller that goes on with it must not commit
            keyword.clear();
        }
        break;
    }
    rerunDialogs.reset();
    scanStart_.reset();
    if (insideUnitOfWork) {
        deferredFollowUp_ = keyword;
    } else if (!keyword.isEmpty()) {
        FollowUpAfterCommit(keyword);
    } else if (!switchTo_.isEmpty()) {
        // The other assembly is shown outside the scan's transaction: it is a display, not part of the scan.
        display_.SwapDevice(switchTo_, 0);
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
    return result_;
}

bool ComponentCapture::RefusedByCluster(const VelkorError& error) {
    const auto* provider = dynamic_cast<const ProviderError*>(&error);
    return provider != nullptr && provider->NativeCode() == mariadb_error::kDeadlock;
}

void ComponentCapture::PrepareRerun() {
    try {
        Db().RollbackAll();
    } catch (const VelkorError&) {
        // The server has discarded the transaction already.
    }
    // The screen as the scan found it, and nothing of what the refused run decided.
    scanStart_->Restore(host_.TreeViewCtr(0));
    result_ = false;
    rootCreated_ = false;
    switchTo_.clear();
    AssemblyDbClass::NoteCertificationRetry();
}

void ComponentCapture::Refuse(const QString& text) {
    Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
    Dialogs().MsgBox(text);
}

bool ComponentCapture::AskAfterBeep(const QString& question) {
    Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
    return Dialogs().MsgBox(question, MsgButtons::YesNoDefaultNo) == MsgAnswer::Yes;
}

TreeNode* ComponentCapture::RootNode() const {
    NodeTree& tree = host_.TreeViewCtr(0);
    return tree.TopLevelCount() > 0 ? tree.TopLevel(0) : nullptr;
}

bool ComponentCapture::OwnProdCodesComplete(TreeNode* node, qint32 devId) {
    AssemblyDbClass& db = Db();
    const int expected = db.GetProdCodeCountFromBillOfMat(GetArtNrFromNodeText(node->Text()));
    const int below = host_.Tree().CountPreviousProdCodesAquiredInTree(node);
    return db.GetNumberOfProdctionCodesFromDevID(devId) >= expected - below;
}

QString ComponentCapture::Capture(const QString& prodCode, const QString& serNr) {
    host_.SetStatus(WorkstationHost::Busy());
    // Without an order, or with a pane that shows no structure of it (an unknown order), there is nothing to
    // record against.
    if (host_.PaNr(0).isEmpty() || RootNode() == nullptr) {
        Dialogs().MsgBox(msg::NoOrder());
        return QString();
    }
    host_.Tree().SetTreeViewIndex(0);
    Scan scan;
    scan.node = host_.TreeViewCtr(0).SelectedItem();
    if (scan.node == nullptr) {
        return QString();
    }
    // Checked before anything is looked up or written: nothing of the scan is recorded in part.
    const QString refusal =
        RecordingRefusal(prodCode, serNr, host_.PaNr(0),
                         {GetArtNrFromNodeText(RootNode()->Text()), GetArtNrFromNodeText(scan.node->Text())});
    if (!refusal.isEmpty()) {
        Refuse(refusal);
        return QString();
    }
    host_.Tree().ReadBillsOfMatInTree();
    scan.prodCode = prodCode;
    scan.serNr = serNr;
    scan.isProdCode = IsProdCodeFormat(prodCode);
    scan.isSerNr = IsSerNrFormat(serNr);
    scan.nodeArtNr = GetArtNrFromNodeText(scan.node->Text());
    if (!Accept(scan)) {
        return QString();
    }
    // The whole scan is one transaction: the steps' own transactions are levels inside it, so a failure anywhere
    // (the error ending rolls back every level) leaves nothing of the scan behind.
    AssemblyDbClass& db = Db();
    const qint16 level = db.OpenTransactionCount();
    rootCreated_ = false;
    const AssemblyDbClass::JournalEntry journal(db, QStringLiteral("scan"), host_.PaNr(0),
                                                prodCode.isEmpty() ? serNr : prodCode);
    db.Begin();
    TreeNode* done = IsDeviceNodeKey(scan.node->Key()) ? AddToDevice(scan) : CaptureOnExpectedNode(scan);
    const QString keyword = done != nullptr ? Complete(done) : QString();
    if (db.OpenTransactionCount() > level) {  // not when the scan was discarded whole
        db.Commit();
    }
    if (done == nullptr && rootCreated_ && scanStart_) {
        // The refusal rolled back the final product made for the component along with it: the root node is
        // the expected one again.
        scanStart_->Restore(host_.TreeViewCtr(0));
    }
    return keyword;
}

void ComponentCapture::RunDeferredFollowUp() {
    const QString keyword = deferredFollowUp_;
    deferredFollowUp_.clear();
    if (!keyword.isEmpty()) {
        FollowUpAfterCommit(keyword);
    }
}

void ComponentCapture::FollowUpAfterCommit(const QString& keyword) {
    // The scan is committed: whatever becomes of the next step, the screen keeps showing what was recorded.
    const TreeSnapshot recorded(host_.TreeViewCtr(0));
    try {
        newAss_.FollowUp(keyword);
    } catch (const VelkorError& error) {
        AssemblyDbClass& db = Db();
        if (db.OpenTransactionCount() > 0) {
            try {
                db.RollbackAll();
            } catch (const VelkorError&) {
                // The connection is gone; the server discards the open transaction with it.
            }
        }
        recorded.Restore(host_.TreeViewCtr(0));
        QString text =
            QStringLiteral("Der Scan wurde gespeichert. Der nächste Schritt konnte nicht ausgeführt werden.");
        if (IsConnectionLost(error)) {
            text += msg::Crlf() + QStringLiteral("Keine Verbindung zur Datenbank.");
        }
        Dialogs().MsgBox(text);
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(0);
}

bool ComponentCapture::Accept(const Scan& scan) {
    AssemblyDbClass& db = Db();
    if (!scan.isSerNr && !scan.isProdCode && db.GetExtSerCountFromBillOfMat(scan.nodeArtNr) < 1) {
        Dialogs().MsgBox(QStringLiteral("Eingabe entspricht nicht dem zugelassenen Format"));
        return false;
    }
    if (scan.isProdCode) {
        host_.ShowScannedValue(scan.prodCode);
        const int expected = db.GetProdCodeCountFromBillOfMat(scan.nodeArtNr);
        const int below = host_.Tree().CountPreviousProdCodesAquiredInTree(scan.node);
        const qint32 devId = DeviceIdOfKey(scan.node->Key());
        const int recorded = devId != 0 ? db.GetNumberOfProdctionCodesFromDevID(devId) : 0;
        if (expected == 0 || below == expected || expected - below == recorded) {
            if (!AskAfterBeep(QStringLiteral("Die Komponente benötigt keienen Produktionscode.") + msg::Crlf() +
                              QStringLiteral("Möchten sie den Vorgang trotzdem durchführen ?"))) {
                return false;
            }
        }
    }
    if (scan.isSerNr) {
        host_.ShowScannedValue(scan.serNr);
        if (db.GetSerNrCountFromBillOfMat(scan.nodeArtNr) < 1) {
            if (!AskAfterBeep(QStringLiteral("Die Komponente benötigt keiene Seriennummer.") + msg::Crlf() +
                              QStringLiteral("Möchten sie den Vorgang trotzdem durchführen ?"))) {
                return false;
            }
        }
    }
    return true;
}

bool ComponentCapture::RecordIdentifier(const Scan& scan, qint32 devId, bool withExtSerNr) {
    AssemblyDbClass& db = Db();
    if (scan.isProdCode && !db.InsertProdCodeWithDevID(scan.prodCode, devId)) {
        db.Rollback();  // the insert told the worker why
        return false;
    }
    bool recorded = true;
    if (scan.isSerNr) {
        QString serNr = scan.serNr;
        recorded = db.InsertSerNrWithDevID(serNr, devId) == 1;
    } else if (withExtSerNr && !scan.serNr.isEmpty()) {
        recorded = db.InsertExtSerNrWithDevID(scan.serNr, devId) == 1;
    }
    if (!recorded) {
        Dialogs().MsgBox(msg::SerNrUsed());
        db.Rollback();
    }
    return recorded;
}

TreeNode* ComponentCapture::AddToDevice(const Scan& scan) {
    AssemblyDbClass& db = Db();
    TreeNode* node = scan.node;
    const qint32 devId = DeviceIdOfKey(node->Key());
    db.Begin();
    if (!RecordIdentifier(scan, devId, true)) {
        return nullptr;
    }
    if (OwnProdCodesComplete(node, devId)) {
        prompts_.PromptRemainingProdCodes(node);
    }
    prompts_.InsertSerIfNeeded(node);
    db.Commit();
    result_ = true;
    host_.Tree().InsertProdcodeCountInNodeWithDeviceIdText(node);
    return node;
}

QString ComponentCapture::Complete(TreeNode* node) {
    AssemblyDbClass& db = Db();
    TreeView& tree = host_.Tree();
    const qint32 devId = DeviceIdOfKey(node->Key());
    if (OwnProdCodesComplete(node, devId)) {
        prompts_.InsertSerIfNeeded(node);
        db.SetOKFlagInAssembly(devId, true);
    } else {
        prompts_.PromptRemainingProdCodes(node);
    }
    TreeNode* root = RootNode();
    // The four progress updates below record nothing in between: the counts are read once for all of them.
    struct KeptCounts {
        TreeView& tree;
        ~KeptCounts() { tree.EndKeepingCounts(); }
    } kept{tree};
    tree.KeepCountsBelow(root);
    // The final product is complete once its own production codes are, whatever its components still lack: the
    // progress updates below, which reach the root, write that flag for it instead of clearing it.
    const qint32 rootDevId = DeviceIdOfKey(root->Key());
    if (rootDevId != 0) {
        const int expected = db.GetProdCodeCountFromBillOfMat(GetArtNrFromNodeText(root->Text()));
        if (tree.ProdCodesOf(rootDevId) >= expected - tree.CountPreviousProdCodesAquiredInTree(root)) {
            tree.HoldOKFlag(rootDevId, true);
        }
    }
    // The node and every device above it: a sub-assembly between them counts the new component too.
    const auto refreshCounts = [&tree, node] {
        for (TreeNode* above = node; above != nullptr; above = above->Parent()) {
            tree.InsertProdcodeCountInNodeWithDeviceIdText(above);
        }
    };
    refreshCounts();
    const QString keyword = tree.SelectNextNode(node);
    refreshCounts();
    host_.RepaintTree(0);
    tree.EndKeepingCounts();
    return keyword;
}

void ComponentCapture::ErrorEnding(const VelkorError& error) {
    // Inside a caller's unit of work the caller's own ending tells the worker and puts the trees back.
    if (!insideUnitOfWork_) {
        Dialogs().MsgBox(error.Number() == TreeView::kShownDeviceNotRecorded
                             ? error.Description()
                             : msg::ErrorEndingText(
                                   error, QStringLiteral("Es ist ein Fehler aufgetreten. Der Vorgang wird Gelöscht")));
    }
    AssemblyDbClass& db = Db();
    if (db.OpenTransactionCount() > 0) {
        try {
            db.RollbackAll();
        } catch (const VelkorError&) {
            // The connection is gone; the server discards the open transaction with it.
        }
    }
    if (insideUnitOfWork_) {
        return;
    }
    if (IsConnectionLost(error) && scanStart_) {
        // Nothing of the scan is recorded, and the order cannot be read now: the tree as the scan found it is
        // what the database holds.
        scanStart_->Restore(host_.TreeViewCtr(0));
        return;
    }
    host_.RefreshTreeView();
}
