#include "workstation/DeviceDisplay.h"

#include <QList>

#include "db/AssemblyDbClass.h"
#include "db/SerNrFormat.h"
#include "shell/LikePattern.h"
#include "shell/Misc.h"
#include "shell/ScanFormats.h"
#include "shell/UserDialogs.h"
#include "tree/NodeText.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "workstation/Messages.h"
#include "db/StorableValue.h"
#include "workstation/WorkstationHost.h"

namespace {

AssemblyDbClass& Db() {
    return AssemblyDbClass::Shared();
}

void RefusalTone() {
    Dialogs().Beep(msg::kRefusalToneHz, msg::kRefusalToneMs);
}

// A refusal: the tone, then the message with an OK button.
void Refuse(const QString& text) {
    RefusalTone();
    Dialogs().MsgBox(text);
}

// Announces the view built from a device's root, which shows no missing components and allows no capture.
QString ViewWarning() {
    return QStringLiteral("ACHTUNG ! Fehlende Komponenten, werden in dieser Ansicht nicht angezeigt und ") +
           msg::Crlf() +
           QStringLiteral(
               "falsche Artikelnummern sowie die richtigkeit des PA's werden nicht überprüft. Das "
               "Hinzufügen von Produktionscodes ist nicht möglich.");
}

QString NoMatchingArticle(const QString& afterQuestion) {
    return QStringLiteral(
               "Es wurde kein Artikel in dem Produktionsauftrag gefunden, der zu dem Artikel des "
               "eingegebenen Produktionscodes passt. ") +
           msg::Crlf() + QStringLiteral("Möchten Sie den Zusammenbau trotzdem bearbeiten ?") + afterQuestion +
           msg::Crlf() + msg::Crlf() + ViewWarning();
}

// The assembly numbers from the root of the hierarchy down to assNr.
QList<qint32> PathFromRoot(AssemblyDbClass& db, qint32 assNr) {
    QList<qint32> path{assNr};
    for (QVariant parent = db.GetPrevAssembly(assNr); !IsNullOrEmpty(parent);
         parent = db.GetPrevAssembly(parent.toInt())) {
        if (path.contains(parent.toInt())) {
            db.FindRootAssembly(assNr);  // a cycle in the records: raised, with its report, by the root search
            break;
        }
        path.prepend(parent.toInt());
    }
    return path;
}

}  // namespace

DeviceDisplay::DeviceDisplay(WorkstationHost& host) : host_(host) {}

void DeviceDisplay::End() {
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(index_);
}

bool DeviceDisplay::OfferRootView(const QString& question, const QString& code) {
    if (Dialogs().MsgBox(question, MsgButtons::YesNo) != MsgAnswer::Yes) {
        return false;
    }
    host_.SetPaNr(index_, QString());
    ShowAssemblyFromRoot(code);
    return true;
}

void DeviceDisplay::SwapDevice(QString code, qint16 index) {
    index_ = index;
    host_.SetStatus(WorkstationHost::Busy());
    AssemblyDbClass& db = Db();
    AssemblyDbClass::OperationScope operation(db);  // one device shown
    TreeView& tree = host_.Tree();
    tree.SetTreeViewIndex(index);
    if (!host_.PaNr(index).isEmpty()) {
        tree.CreateNodesForPA(host_.PaNr(index));
    }
    if (code.isEmpty()) {
        code = Dialogs().InputBox(msg::ScanPrompt(), QStringLiteral("Produktions- Seriennummern Eingabe"));
    }
    // A value that could not have been recorded as it is: told as such, not looked up as unknown.
    const QString refusal = StorageRefusal(code, ColumnOfScan(code), msg::ScannedValue());
    if (!refusal.isEmpty()) {
        Refuse(refusal);
        End();
        return;
    }
    if (!IsSerNrFormat(code) && !IsProdCodeFormat(code)) {
        Refuse(QStringLiteral("Produktionscode oder Seriennummer ungültig oder unbekannt"));
        End();
        return;
    }
    QVariant devId = db.GetDevIdFromProdCodeOrSerNr(code, QString());
    if (IsNullOrEmpty(devId)) {
        devId = db.GetDevIdFromProdCodeOrSerNr(QString(), code);
    }
    host_.ShowScannedValue(code);
    host_.ShowScannedArticle(db.GetArtNrFromDevID(devId).toString());
    if (IsNullOrEmpty(devId)) {
        Refuse(QStringLiteral("Dieser Produktionscode ist noch unbekannt"));
        End();
        return;
    }
    const QVariant ownAssNr = db.GetAssemblyfromDevID(devId.toInt());
    if (IsNullOrEmpty(ownAssNr)) {
        Refuse(QStringLiteral("Dieser Artikel wurde keinem Gerät zugewiesen"));
        End();
        return;
    }

    // From the top of the hierarchy down towards the scanned device, the first level the order shows.
    const QList<qint32> path = PathFromRoot(db, ownAssNr.toInt());
    TreeNode* node = nullptr;
    qint32 levelAssNr = 0;
    qint32 levelDevId = 0;
    QString levelArtNr;
    bool skippedHigherLevel = false;
    for (qsizetype level = 0; level < path.size(); ++level) {
        levelAssNr = path.at(level);
        levelDevId = db.GetDevIdFromAssNr(levelAssNr).toInt();
        QVariant suffix;
        levelArtNr = db.GetArtNrFromDevID(levelDevId, suffix).toString();
        node = tree.GetNodeWithSuffix(levelArtNr, suffix);
        if (node == nullptr) {
            node = tree.GetNodeWithArtNr(levelArtNr);
        }
        if (node != nullptr || host_.PaNr(index).isEmpty()) {
            break;
        }
        skippedHigherLevel = level + 1 < path.size();
    }

    if (node == nullptr) {
        const qint32 masterOrder = db.GetMasterProdOrderFromDeviceID(devId.toInt());
        RefusalTone();
        const QString question =
            masterOrder > 0 ? QStringLiteral("Der Artikel wurde bereits in dem Produktionsauftrag %1 verwendet. ")
                                      .arg(masterOrder) +
                                  msg::Crlf() + QStringLiteral("Möchten Sie den Zusammenbau trotzdem bearbeiten ?") +
                                  msg::Crlf() + msg::Crlf() + ViewWarning()
                            : NoMatchingArticle(QString());
        if (!OfferRootView(question, code)) {
            End();
        }
        return;
    }
    if (skippedHigherLevel) {
        const QString question = QStringLiteral("Es existieren noch höhere Hierarchiebenen,") + msg::Crlf() +
                                 QStringLiteral("welche mit dem gewählten PA nicht angezeigt werden können. ") +
                                 msg::Crlf() + QStringLiteral(" Möchten Sie sie trotzdem mit anzeigen ?  ") +
                                 msg::Crlf() + msg::Crlf() + ViewWarning();
        if (OfferRootView(question, code)) {
            return;
        }
    }
    if (db.IsDeviceTested(levelDevId)) {
        Dialogs().MsgBox(QStringLiteral("Achtung ! ") + msg::Crlf() +
                         QStringLiteral("Diese Zusammenstellung wurde bereits gültig getestet. ") + msg::Crlf() +
                         QStringLiteral("Änderrungen der Zusammensetzung des Gerätes erfordern einen Wiederholten "
                                        "Testdurchlauf."));
    }
    const QString levelOrder = db.GetPaWithDevID(levelDevId);
    if (levelOrder != TrimBlanks(host_.PaNr(index))) {
        Refuse(
            QStringLiteral("Das gescannte Endgerät wurde unter dem Produktionsauftrag %1 erstellt. ").arg(levelOrder) +
            msg::Crlf() + QStringLiteral("Dieser weicht vom einegebenen Produktionsauftrag ab.") + msg::Crlf() +
            QStringLiteral("Überprüfen Sie bitte ihre Eingabe"));
        End();
        return;
    }
    TreeNode* root = host_.TreeViewCtr(index).TopLevelCount() > 0 ? host_.TreeViewCtr(index).TopLevel(0) : nullptr;
    if (root != nullptr && Like(levelArtNr, GetArtNrFromNodeText(root->Text()))) {
        InsertDeviceWithComponents(node, levelDevId);
        End();
        return;
    }
    if (levelAssNr == ownAssNr.toInt()) {
        Dialogs().MsgBox(QStringLiteral("Dieser Artikel wurde bisher keinem Gerät zugewiesen"));
        End();
        return;
    }
    const qint32 masterOrder = db.GetMasterProdOrderFromDeviceID(levelDevId);
    RefusalTone();
    if (masterOrder > 0) {
        RefusalTone();
        if (OfferRootView(NoMatchingArticle(QStringLiteral(" ")), code)) {
            return;
        }
    } else {
        Dialogs().MsgBox(QStringLiteral("Dieser Artikel wurde keinem Gerät mit diesem Productionsauftrag zugewiesen"));
    }
    End();
}

void DeviceDisplay::InsertDeviceWithComponents(TreeNode* node, qint32 devId) {
    TreeView& tree = host_.Tree();
    tree.InsertDeviceIntoSpecifiedNode(node, devId);
    tree.InsertSubAssemblysFromDeviceID(devId, node);
    tree.InsertProdcodeCountInNodeWithDeviceIdText(node);
    if (host_.SelectedNodeIndex().isValid()) {
        tree.SelectLastNode(host_.SelectedNodeIndex());
    }
    host_.SetStatus(WorkstationHost::Ready());
    host_.FocusTree(index_);
    host_.SetStatus(WorkstationHost::Busy());
}

void DeviceDisplay::ShowAssemblyFromRoot(const QString& code) {
    AssemblyDbClass::OperationScope operation(Db());
    try {
        ShowAssemblyFromRootSteps(code);
    } catch (const VelkorError& error) {
        Dialogs().MsgBox(msg::ErrorEndingText(error, QStringLiteral("Der Vorgang wird Gelöscht")));
        if (Db().OpenTransactionCount() > 0) {
            Db().RollbackAll();
        }
        host_.RefreshTreeView();
    }
    End();
}

void DeviceDisplay::ShowAssemblyFromRootSteps(const QString& code) {
    host_.SetStatus(WorkstationHost::Busy());
    AssemblyDbClass& db = Db();
    if (code.isEmpty()) {
        Refuse(QStringLiteral("Produktionscode ungültig"));
        return;
    }
    host_.ShowScannedValue(code);
    host_.ShowScannedArticle(db.GetArtNrFromDevID(db.GetDevIdFromProdCodeOrSerNr(code, QString())).toString());
    const QVariant devId = db.GetDevIdFromProdCodeOrSerNr(code, code);
    if (IsNullOrEmpty(devId)) {
        Refuse(QStringLiteral("Dieser Produktionscode ist bisher noch unbekannt"));
        return;
    }
    const QVariant assNr = db.GetAssemblyfromDevID(devId.toInt());
    if (IsNullOrEmpty(assNr)) {
        Refuse(QStringLiteral("Dieser Produktionscode wurde noch in keinem Zusammenbau verwendet"));
        return;
    }
    qint32 rootAssNr = assNr.toInt();
    db.FindRootAssembly(rootAssNr);
    const qint32 rootDevId = db.GetDevIdFromAssNr(rootAssNr).toInt();
    const QString rootArtNr = db.GetArtNrFromDevID(rootDevId).toString();
    TreeNode* root = host_.Tree().CreateRootDevice(rootArtNr);
    if (root == nullptr) {
        Refuse(
            QStringLiteral("Es Wurde kein Artikel in dem Produktionsauftrag gefunden, der zu dem Artikel "
                           "des eingegebenen Produktionscodes passt"));
        return;
    }
    if (!Like(rootArtNr, GetArtNrFromNodeText(root->Text()))) {
        Refuse(QStringLiteral(
            "Dieser Produktionscode wurde noch in keinem Zusammenbau mit diesem Productionsauftrag verwendet"));
        return;
    }
    InsertDeviceWithComponents(root, rootDevId);
}
