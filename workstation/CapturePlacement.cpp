// The capture on an expected node: a new component, a free recorded device, or a device that already
// stands in an assembly (take-over of a sub-assembly, or the offer to switch to that assembly).
//
// The final product's device is created in the component's own level, before the target node is chosen: a
// refused scan leaves neither a device nor a marked root node behind, and a component is never placed on the
// root node.

#include "db/AssemblyDbClass.h"
#include "shell/LikePattern.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeSnapshot.h"
#include "tree/TreeView.h"
#include "workstation/CompletionPrompts.h"
#include "workstation/ComponentCapture.h"
#include "workstation/DeviceDisplay.h"
#include "workstation/Messages.h"
#include "workstation/WorkstationHost.h"

namespace {

AssemblyDbClass& Db() {
    return AssemblyDbClass::Shared();
}

qint32 ProductionOrderNumber(const QString& paNr) {
    return static_cast<qint32>(LeadingNumber(paNr));
}

}  // namespace

TreeNode* ComponentCapture::CaptureOnExpectedNode(const Scan& scan) {
    AssemblyDbClass& db = Db();
    db.Begin();
    QVariant devId = db.GetDevIdFromProdCodeOrSerNr(scan.prodCode, scan.serNr);
    // A recorded device is checked and placed under its guard: another workstation placing it at the same
    // moment waits, and then finds it placed. A device read while another workstation was creating it, whose
    // creation was then undone, is looked up afresh.
    for (int attempt = 0; attempt < 3 && !IsNullOrEmpty(devId) && !db.GuardDevice(devId.toInt()); ++attempt) {
        devId = db.GetDevIdFromProdCodeOrSerNr(scan.prodCode, scan.serNr);
    }
    host_.ShowScannedArticle(db.GetArtNrFromDevID(devId).toString());
    if (IsNullOrEmpty(devId)) {
        return AddNewComponent(scan);
    }
    return PlaceRecordedDevice(scan, devId.toInt());
}

void ComponentCapture::EnsureRootDevice() {
    TreeNode* root = RootNode();
    if (root == nullptr || IsDeviceNodeKey(root->Key())) {
        return;
    }
    AssemblyDbClass& db = Db();
    const qint32 rootDevId = db.CreateDevice().toInt();
    db.CreateAssNrFromDivID(rootDevId, ProductionOrderNumber(host_.PaNr(0)));
    host_.Tree().InsertDeviceIntoSpecifiedNode(root, rootDevId);
    rootCreated_ = true;
    QString artNr = GetArtNrFromNodeText(root->Text());
    db.InsertArtNrWithDevID(artNr, rootDevId);
    db.InsertPaNrWithDevID(TrimBlanks(host_.PaNr(0)), rootDevId);
}

TreeNode* ComponentCapture::TargetNode(TreeNode* selected, const QString& artNr, const QVariant& suffix,
                                       const QString& fallbackArtNr) {
    TreeView& tree = host_.Tree();
    TreeNode* target = tree.GetNodeWithSuffix(artNr, suffix);
    if (target == nullptr) {
        target = tree.GetNodeWithArtNr(fallbackArtNr);
    }
    // A node that holds a device already keeps it, and the root is the final product: the selected (expected)
    // node takes the new one.
    if (target == nullptr || IsDeviceNodeKey(target->Key()) || target->Parent() == nullptr) {
        return selected;
    }
    return target;
}

bool ComponentCapture::WriteAssemblyEntry(TreeNode* target, bool newDevice) {
    if (!IsNullOrEmpty(host_.Tree().InsertNewDeviceIntoAssembledDevicesInTreeView(target, newDevice))) {
        return true;
    }
    Dialogs().MsgBox(QStringLiteral("Fehler beim erstellen des Assembly Entrys. Alle Änderungen werden verworfen."),
                     MsgButtons::Ok, MsgIcon::Critical);
    // All of the scan is discarded, also a final product created for it, and the tree shows the state before it.
    Db().RollbackAll();
    if (scanStart_) {
        scanStart_->Restore(host_.TreeViewCtr(0));
    }
    return false;
}

bool ComponentCapture::ConvertFromHistory(qint32& devId, QString& artNr, QVariant& suffix, const QString& nodeArtNr) {
    AssemblyDbClass& db = Db();
    const QString serNr = db.GetSerNrFromDeviceID(devId);
    if (serNr.isEmpty()) {
        return false;
    }
    if (db.IsSerNrBackfitHistoryInKHK(serNr, artNr, nodeArtNr)) {
        const QString paNr = db.GetSerNrBackfitHistoryPaKHK(serNr, artNr, nodeArtNr);
        devId = db.BackfitDevice(devId, nodeArtNr, paNr);
        suffix = QVariant();
        artNr = db.GetArtNrFromDevID(devId, suffix).toString();
    }
    return true;
}

TreeNode* ComponentCapture::PlaceRecordedDevice(const Scan& scan, qint32 devId) {
    AssemblyDbClass& db = Db();
    if (host_.Tree().CheckIfDeviceIDIsAllreadyPresent(devId)) {
        Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
        db.Rollback();
        Dialogs().MsgBox(
            QStringLiteral("Der Produktionscode wurde bereits in diesem Zusammenbau verwendet. Er kann "
                           "nicht zweimal verwendet werden"));
        return nullptr;
    }
    // The assembly the device stands in is guarded too (another of its components may be taken over elsewhere),
    // and looked up again once it is: it may have been built in meanwhile.
    qint32 rootDevId = RootDeviceOf(devId);
    for (QSet<qint32> guarded{devId}; rootDevId != 0 && !guarded.contains(rootDevId);) {
        db.GuardDevice(rootDevId);
        guarded.insert(rootDevId);
        rootDevId = RootDeviceOf(devId);
    }
    if (rootDevId == 0) {
        return PlaceFreeDevice(scan, devId);
    }
    return TakeOverAssembly(scan, devId, rootDevId);
}

qint32 ComponentCapture::RootDeviceOf(qint32 devId) {
    AssemblyDbClass& db = Db();
    const QVariant assNr = db.GetAssemblyfromDevID(devId);
    if (IsNullOrEmpty(assNr)) {
        return 0;
    }
    qint32 rootAssNr = assNr.toInt();
    db.FindRootAssembly(rootAssNr);
    return db.GetDevIdFromAssNr(rootAssNr).toInt();
}

TreeNode* ComponentCapture::PlaceFreeDevice(const Scan& scan, qint32 devId) {
    AssemblyDbClass& db = Db();
    TreeView& tree = host_.Tree();
    TreeNode* node = scan.node;
    QVariant suffix;
    QString artNr = db.GetArtNrFromDevID(devId, suffix).toString();
    bool hasSerNr = true;
    if (!Like(artNr, scan.nodeArtNr)) {
        hasSerNr = ConvertFromHistory(devId, artNr, suffix, scan.nodeArtNr);
    }
    if (!Like(artNr, scan.nodeArtNr)) {
        QString text = QStringLiteral("Der gescannte Produktionskode hat die Artikelnummer:") + artNr +
                       QStringLiteral(", und stimmt nicht mit dem erwarteten Artikel: ") + node->Key() +
                       QStringLiteral(" überein. ") + msg::Crlf();
        if (!hasSerNr) {
            text += QStringLiteral(
                        " Da der Artikel auch keine Seriennummer besitzt, können keine Daten aus der KHK "
                        "Historie ermittelt werden.") +
                    msg::Crlf();
        }
        Refuse(text);
        db.Rollback();
        prompts_.InsertSerIfNeeded(node);
        return nullptr;
    }
    if (db.GetTestReqiredFromBillOfMat(scan.nodeArtNr) && !db.IsDeviceTested(devId)) {
        if (!AskAfterBeep(msg::UntestedProdCode())) {
            db.Rollback();
            prompts_.InsertSerIfNeeded(node);
            return nullptr;
        }
    }
    if (node->Parent() == nullptr) {
        // The scanned device becomes the final product itself (a conversion made above is kept).
        tree.InsertDeviceIntoSpecifiedNode(node, devId);
        db.CreateAssNrFromDivID(devId, ProductionOrderNumber(host_.PaNr(0)));
        prompts_.PromptRemainingProdCodes(node);
        if (db.GetNumberOfProdctionCodesFromDevID(devId) >= db.GetProdCodeCountFromBillOfMat(scan.nodeArtNr)) {
            db.SetOKFlagInAssembly(devId, true);
        }
        db.Commit();
        result_ = true;
        tree.InsertProdcodeCountInNodeWithDeviceIdText(node);
        return node;
    }
    EnsureRootDevice();
    TreeNode* target = TargetNode(node, artNr, suffix, artNr);
    tree.InsertDeviceIntoSpecifiedNode(target, devId);
    if (!WriteAssemblyEntry(target)) {
        return nullptr;
    }
    tree.InsertProdcodeCountInNodeWithDeviceIdText(target);
    db.Commit();
    result_ = true;
    return target;
}

TreeNode* ComponentCapture::TakeOverAssembly(const Scan& scan, qint32 devId, qint32 rootDevId) {
    AssemblyDbClass& db = Db();
    TreeView& tree = host_.Tree();
    TreeNode* node = scan.node;
    QString rootArtNr = db.GetArtNrFromDevID(rootDevId).toString();
    const bool leafBelowRoot = node->Parent() != nullptr && node->Children() == 0;
    const bool subAssemblyOfNode = Like(rootArtNr, scan.nodeArtNr + QLatin1Char('*'));
    const bool ownRootOfOtherArticle = rootDevId == devId && !Like(rootArtNr, GetArtNrFromNodeText(RootNode()->Text()));
    if (!leafBelowRoot || !(subAssemblyOfNode || ownRootOfOtherArticle)) {
        Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
        db.Rollback();
        if (Dialogs().MsgBox(QStringLiteral("Der Produktionscode gehört zu einem bereits angefangenem Zusammenbau. "
                                            "Möchten Sie zu dem Zusammenbau wechseln um ihn zu bearbeiten?"),
                             MsgButtons::YesNoDefaultNo) == MsgAnswer::Yes) {
            switchTo_ = scan.prodCode;  // shown once the scan's own transaction has ended
        }
        return nullptr;
    }
    if (subAssemblyOfNode) {
        devId = rootDevId;  // the whole sub-assembly goes into the node
    }
    QVariant suffix;
    QString artNr = db.GetArtNrFromDevID(devId, suffix).toString();
    if (!Like(artNr, scan.nodeArtNr)) {
        ConvertFromHistory(devId, artNr, suffix, scan.nodeArtNr);
        if (Like(artNr, scan.nodeArtNr)) {
            qint32 rootAssNr = db.GetAssemblyfromDevID(devId).toInt();
            db.FindRootAssembly(rootAssNr);
            rootDevId = db.GetDevIdFromAssNr(rootAssNr).toInt();
            rootArtNr = db.GetArtNrFromDevID(rootDevId).toString();
        }
    }
    if (!Like(artNr, scan.nodeArtNr)) {
        Refuse(QStringLiteral("Der gescannte Produktionskode wurde bereits in einem Zusammenbau verwendet und die "
                              "Artikelnummer:") +
               artNr + QStringLiteral(", stimmt nicht mit dem erwarteten Artikel: ") + node->Key() +
               QStringLiteral(" überein. ") + msg::Crlf());
        db.Rollback();
        return nullptr;
    }
    EnsureRootDevice();
    TreeNode* target = TargetNode(node, artNr, suffix, rootArtNr);
    if (db.GetTestReqiredFromBillOfMat(GetArtNrFromNodeText(target->Text())) && !db.IsDeviceTested(devId)) {
        if (!AskAfterBeep(msg::UntestedProdCode())) {
            db.Rollback();
            prompts_.InsertSerIfNeeded(target);
            return nullptr;
        }
    }
    tree.InsertDeviceIntoSpecifiedNode(target, rootDevId);
    tree.InsertSubAssemblysFromDeviceID(rootDevId, target);
    tree.InsertProdcodeCountInNodeWithDeviceIdText(target);
    if (!WriteAssemblyEntry(target)) {
        return nullptr;
    }
    host_.ProcessPendingEvents();
    prompts_.PromptRemainingProdCodes(target);
    db.Commit();
    result_ = true;
    return target;
}

TreeNode* ComponentCapture::AddNewComponent(const Scan& scan) {
    AssemblyDbClass& db = Db();
    TreeNode* node = scan.node;
    if (db.GetTestReqiredFromBillOfMat(scan.nodeArtNr)) {
        if (Dialogs().MsgBox(QStringLiteral("Dieser Produktionscode oder diese Seriennummer gehört zu einem bisher "
                                            "ungetesteten Artikel. ") +
                                 msg::UntestedTail(),
                             MsgButtons::YesNoDefaultNo) != MsgAnswer::Yes) {
            db.Rollback();
            return nullptr;
        }
    }
    EnsureRootDevice();
    if (node->Parent() == nullptr) {
        return AddToFinalProduct(scan);
    }
    const qint32 devId = db.CreateDevice().toInt();
    if (devId <= 0) {
        Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
        db.Rollback();
        throw VelkorError(1013, QStringLiteral("Failed to create new Device"),
                          QStringLiteral("TreeViewCtr(0)_NodeClick"));
    }
    if (!RecordIdentifier(scan, devId, true)) {
        return nullptr;
    }
    const QString suffix = node->Key().right(1);
    QString artNr = scan.nodeArtNr;
    db.InsertArtNrWithDevID(artNr, devId, suffix);
    TreeNode* target = TargetNode(node, scan.nodeArtNr, suffix, scan.nodeArtNr);
    host_.Tree().InsertDeviceIntoSpecifiedNode(target, devId);
    // The assembly entry belongs to the component's own transaction: no recorded component outside its
    // assembly. The device is new: it has no assembly number to look up.
    if (!WriteAssemblyEntry(target, true)) {
        return nullptr;
    }
    db.Commit();
    result_ = true;
    host_.Tree().InsertProdcodeCountInNodeWithDeviceIdText(target);
    return target;
}

TreeNode* ComponentCapture::AddToFinalProduct(const Scan& scan) {
    AssemblyDbClass& db = Db();
    TreeNode* node = scan.node;
    const qint32 devId = DeviceIdOfKey(node->Key());
    if (!RecordIdentifier(scan, devId, true)) {
        return nullptr;
    }
    if (db.GetNumberOfProdctionCodesFromDevID(devId) >= db.GetProdCodeCountFromBillOfMat(scan.nodeArtNr)) {
        prompts_.PromptRemainingProdCodes(node);
        db.SetOKFlagInAssembly(devId, true);
    }
    db.Commit();
    result_ = true;
    host_.Tree().InsertProdcodeCountInNodeWithDeviceIdText(node);
    return node;
}
