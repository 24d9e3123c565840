#pragma once

#include <QString>
#include <QVariant>

#include <optional>

#include "shell/VelkorError.h"
#include "tree/TreeSnapshot.h"

class AssemblyDbClass;
class CompletionPrompts;
class DeviceDisplay;
class NewAssembly;
class TreeNode;
class WorkstationHost;

// Records one scanned production code, serial number or external serial number against the node selected
// in the tree of pane 0, under the production order of pane 0: adds it to the device the node holds,
// makes a new device for the node, places a free recorded device (converting its article from the ERP
// history where that shows a conversion), or takes over a pre-assembled sub-assembly; then completes
// the device, moves the cursor along the scan order and carries out the follow-up action.
//
// Every path writes inside its own transaction and rolls it back on a refusal; the tree is put back
// when the database work it showed is undone.
class ComponentCapture {
public:
    ComponentCapture(WorkstationHost& host, CompletionPrompts& prompts, DeviceDisplay& display, NewAssembly& newAss);

    // Exactly one of the two carries the scan. True when a component was recorded (also when a later
    // step of the same call was refused).
    bool ProdCodeSerNrScanInput(const QString& prodCode, const QString& serNr);
    // The last scan ended in the error ending: the worker was told it is discarded, and nothing may go on with it.
    bool LastScanEndedInError() const { return errorEnded_; }
    // A scan made inside a caller's open transaction keeps its follow-up action (next assembly, next device
    // to show) until the caller has committed; this runs it. Nothing when the scan had none.
    void RunDeferredFollowUp();

private:
    // The scan and the node it is recorded against.
    struct Scan {
        QString prodCode;
        QString serNr;
        bool isProdCode = false;
        bool isSerNr = false;
        TreeNode* node = nullptr;
        QString nodeArtNr;
    };

    // Records the scan; the follow-up keyword of the scan order when the scan was committed with one.
    QString Capture(const QString& prodCode, const QString& serNr);
    // Carries out the follow-up action of a committed scan; its failure is reported without undoing the scan.
    void FollowUpAfterCommit(const QString& keyword);
    // Checks the scan against the node's bill of materials; false when refused.
    bool Accept(const Scan& scan);
    // Each path returns the node whose device is to be completed, or null when the scan ended there.
    TreeNode* AddToDevice(const Scan& scan);
    TreeNode* CaptureOnExpectedNode(const Scan& scan);
    TreeNode* PlaceRecordedDevice(const Scan& scan, qint32 devId);
    TreeNode* PlaceFreeDevice(const Scan& scan, qint32 devId);
    // The device at the top of the assembly the device stands in (the device itself when it owns one and is
    // built into nothing); 0 when it stands in none.
    qint32 RootDeviceOf(qint32 devId);
    TreeNode* TakeOverAssembly(const Scan& scan, qint32 devId, qint32 rootDevId);
    TreeNode* AddNewComponent(const Scan& scan);
    TreeNode* AddToFinalProduct(const Scan& scan);
    // Completes the node's device, refreshes the counters, moves the cursor; the follow-up keyword.
    QString Complete(TreeNode* node);
    void ErrorEnding(const VelkorError& error);
    // A scan refused by the cluster's certification (1213 on a cluster: a transaction of another node wrote
    // the same rows first) is run once more from its start; this undoes the refused run.
    static bool RefusedByCluster(const VelkorError& error);
    void PrepareRerun();

    // Records the scanned identifier on the device; false (after the message, with the transaction
    // rolled back) when it is recorded already.
    bool RecordIdentifier(const Scan& scan, qint32 devId, bool withExtSerNr);
    // Gives the order's root node its final-product device when it has none yet, inside the component's own
    // level: a refusal of the component rolls the final product back with it.
    void EnsureRootDevice();
    // Converts the device to the node's article when the ERP history shows that conversion of its serial
    // number; artNr and suffix then hold the new article. False when the device has no serial number.
    bool ConvertFromHistory(qint32& devId, QString& artNr, QVariant& suffix, const QString& nodeArtNr);
    // The expected node that takes a device of the article.
    TreeNode* TargetNode(TreeNode* selected, const QString& artNr, const QVariant& suffix,
                         const QString& fallbackArtNr);
    // Writes the assembly entry of the target's device; false (after the message, with the transaction
    // rolled back and the tree put back) when it could not be written.
    bool WriteAssemblyEntry(TreeNode* target, bool newDevice = false);
    // True when the device of the node carries all the production codes that are its own.
    bool OwnProdCodesComplete(TreeNode* node, qint32 devId);
    // The order's root node of pane 0.
    TreeNode* RootNode() const;
    // Refuses with the beep before the message.
    static void Refuse(const QString& text);
    static bool AskAfterBeep(const QString& question);

    WorkstationHost& host_;
    CompletionPrompts& prompts_;
    DeviceDisplay& display_;
    NewAssembly& newAss_;
    bool result_ = false;
    bool errorEnded_ = false;
    // The current scan gave the root node its final-product device.
    bool rootCreated_ = false;
    QString deferredFollowUp_;
    bool insideUnitOfWork_ = false;
    // The code whose assembly the worker chose to switch to; shown after the scan.
    QString switchTo_;  // the current scan runs inside a caller's open transaction
    // The tree as the current scan found it, for a scan discarded whole.
    std::optional<TreeSnapshot> scanStart_;
};
