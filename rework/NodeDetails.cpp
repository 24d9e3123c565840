#include "rework/NodeDetails.h"

#include "db/AssemblyDbClass.h"
#include "db/ProviderError.h"
#include "db/RecordSet.h"
#include "shell/UserDialogs.h"
#include "shell/VelkorError.h"
#include "tree/NodeKey.h"
#include "tree/NodeText.h"
#include "tree/TreeNode.h"
#include "workstation/WorkstationHost.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kRule = QStringLiteral("---------");

}  // namespace

NodeDetails::NodeDetails(WorkstationHost& host, NodeTooltipSink& tooltips) : host_(host), tooltips_(tooltips) {}

void NodeDetails::OnMouseMove(int pane, TreeNode* node) {
    if (node == nullptr) {
        if (hoverActive_) {
            tooltipParent_ = -1;
            ShowNodeTooltip();
            hoverActive_ = false;
        }
        return;
    }
    hoverActive_ = true;
    if (node->Key() == hoverKey_ && !hoverStale_) {
        return;  // the details of this node are up already
    }
    hoverStale_ = false;
    hoverKey_ = node->Key();

    if (!IsDeviceNodeKey(node->Key())) {
        nodeDetailsText_ =
            QStringLiteral("Komponente Unbekannt") + kCrLf + kCrLf + QStringLiteral("Key: ") + node->Key() + kCrLf;
        ShowOverTree(pane);
        return;
    }
    tooltipParent_ = pane;
    try {
        BuildDeviceDetails(*node);
        connectionLostShown_ = false;
    } catch (const VelkorError& error) {
        // The details stay as far as they were built. A lost connection is told once, not for every node the
        // pointer passes, until the details can be read again.
        if (IsConnectionLost(error)) {
            if (connectionLostShown_) {
                return;
            }
            connectionLostShown_ = true;
        }
        Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure TreeViewCtr_MouseMove of Formular FormMain")
                             .arg(error.Number())
                             .arg(error.Description()));
    }
}

void NodeDetails::BuildDeviceDetails(TreeNode& node) {
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    const qint32 devId = DeviceIdOfKey(node.Key());
    const int pane = tooltipParent_;

    RecordSet codes;
    db.GetDataWithQuery(QStringLiteral("SELECT ProductionCode FROM device_productioncode WHERE DeviceID = ? "
                                       "ORDER BY CreationDate, ProductionCode"),
                        codes, {devId});
    nodeDetailsText_.clear();
    const qint32 masterOrder = db.GetMasterProdOrderFromDeviceID(devId);
    if (masterOrder != -1) {
        nodeDetailsText_ = QString::number(devId) + kCrLf + QStringLiteral("Assembliert unter Pa:") +
                           QString::number(masterOrder) + kCrLf + kRule;
    }
    if (codes.Eof()) {
        nodeDetailsText_ += kCrLf + QStringLiteral("Keine Produktionscodes");
    }
    for (int number = 1; !codes.Eof(); codes.MoveNext(), ++number) {
        nodeDetailsText_ += kCrLf + QString::number(number) + QStringLiteral(": ") +
                            codes.Field(QStringLiteral("ProductionCode")).toString();
    }
    ShowOverTree(pane);

    const QString artNr = GetArtNrFromNodeText(node.Text());
    if (db.GetSerNrCountFromBillOfMat(artNr) >= 1) {
        nodeDetailsText_ +=
            kCrLf + kRule + kCrLf + QStringLiteral("Seriennummer:") + kCrLf + db.GetSerNrFromDeviceID(devId);
        ShowOverTree(pane);
    }
    if (db.GetExtSerCountFromBillOfMat(artNr) >= 1) {
        nodeDetailsText_ +=
            kCrLf + kRule + kCrLf + QStringLiteral("Fremdseriennummer:") + kCrLf + db.GetExtSerNrFromDeviceID(devId);
        ShowOverTree(pane);
    }
    nodeDetailsText_ += kCrLf + kRule + kCrLf + QStringLiteral("Bez 1:") +
                        db.GetProdDescriptionFromArtNrKHK(db.GetArtNrFromDevID(devId).toString());
    nodeDetailsText_ += kCrLf + kCrLf + QStringLiteral("Key: ") + node.Key() + kCrLf;
    ShowOverTree(pane);
}

void NodeDetails::ShowOverTree(int pane) {
    tooltipParent_ = pane;
    host_.RepaintTree(pane);
    ShowNodeTooltip();
}

void NodeDetails::ShowNodeTooltip() {
    host_.SetStatus(WorkstationHost::Busy());
    try {
        tooltips_.ShowNodeTooltip(tooltipParent_, nodeDetailsText_);
    } catch (const VelkorError& error) {
        Dialogs().MsgBox(QStringLiteral("%1:%2").arg(error.Number()).arg(error.Description()), MsgButtons::Ok,
                         MsgIcon::Critical, QStringLiteral("Create()"));
    }
    host_.SetStatus(WorkstationHost::Ready());
}
