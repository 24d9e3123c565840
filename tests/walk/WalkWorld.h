#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

#include "rework/BackfitDrop.h"
#include "rework/NodeDetails.h"
#include "rework/TreeRework.h"
#include "tests/walk/WalkAction.h"
#include "tests/walk/WalkEditors.h"
#include "tests/workstation/WorkflowTestHost.h"

class WalkValues;
class WalkWorker;

// Where the node details would appear: the walk has no window, so they are only kept.
class KeptTooltips : public NodeTooltipSink {
public:
    void ShowNodeTooltip(int, const QString& text) override { shown = text; }
    QString shown;
};

// The workstation without its window: the plain host of the workflow tests with the real workflow, rework and
// drop objects wired as the main window wires them, and the record editor windows used by the walk.
class WalkWorld {
public:
    WalkWorld(WalkWorker& worker, WalkValues& values);
    ~WalkWorld();
    WalkWorld(const WalkWorld&) = delete;
    WalkWorld& operator=(const WalkWorld&) = delete;

    // Carries out the action; on return its answers (and the steps of a record editor) are filled in. replay:
    // the answers are taken from the action instead of chosen.
    void Execute(WalkAction& action, bool replay);
    // Whether the last action converted a device (its production codes then stand on the old and the new one).
    bool Converted() const { return converted_; }
    // The statements the last action sent.
    int Statements() const { return statements_; }
    // Whether the last action was a scan the capture reports it recorded nothing of.
    bool ScanUnrecorded() const { return scanUnrecorded_; }
    // The statements the program sent after the server had discarded its transaction (a deadlock of the last
    // action) while it still counted that transaction open: each ran on its own, outside any transaction.
    const QStringList& SentAfterDiscard() const { return sentAfterDiscard_; }
    // Devices whose completion flag a failed write outside a transaction left as it was: the next refresh of
    // their node writes it again.
    bool FlagWriteFailed(qint32 devId) const { return flagWriteFailed_.contains(devId); }

    // The node a recorded key and index name (the key first); null when neither is there.
    TreeNode* NodeOf(int pane, const QString& key, const QString& index) const;

    // Whether the last action changed the tree of the pane (nodes, texts or images).
    bool Touched(int pane) const { return touched_[pane]; }
    // A view another action made stale stays so until the pane is laid out again.
    bool Stale(int pane) const { return stale_[pane]; }
    void MarkStale(int pane) { stale_[pane] = true; }

    // The order each pane's tree was laid out from when it was last built ("" for a device shown from its root).
    QString LayoutOrder(int pane) const { return layoutOrder_[pane]; }

    WorkflowTestHost host;
    ScanWorkflow flow{host};
    KeptTooltips tooltips;
    WalkEditors editors;
    TreeRework rework;
    BackfitDrop drop{host, flow.capture};

private:
    void Dispatch(WalkAction& action);
    void EnterOrder(int pane, const QString& paNr);
    void RightClick(int pane, TreeNode* node);
    // The private database server of the run stopped and started again.
    void RestartServer();

    WalkWorker& worker_;
    WalkValues& values_;
    QString layoutOrder_[2];
    bool touched_[2] = {false, false};
    bool stale_[2] = {false, false};
    bool converted_ = false;
    bool scanUnrecorded_ = false;
    int statements_ = 0;
    QStringList sentAfterDiscard_;
    QSet<qint32> flagWriteFailed_;
};
