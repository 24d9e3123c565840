#pragma once

#include <QVariant>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include <QPointer>

#include "tree/NodeTree.h"
#include "workstation/WorkstationHost.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class KeystrokeCapture;
class TreeControlView;
class TreeNode;
class TreeView;
class VelkorError;
struct ScanWorkflow;
class NodeTooltipPresenter;
class QtRecordEditors;
class TreeRework;
class BackfitDrop;
class QDropEvent;

// The working window of the workstation: production order entry, status line and the assembly
// trees of the two panes (pane 0 works, pane 1 is shown only in the two-pane layout).
class FormMain : public QWidget, public WorkstationHost {
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kOnePaneWidthTwips = 8070;
    static constexpr int kTwoPaneWidthTwips = 16095;
    static_assert(kOnePaneWidthTwips % kTwipsPerPixel == 0 && kTwoPaneWidthTwips % kTwipsPerPixel == 0);

    explicit FormMain(QWidget* parent = nullptr);
    ~FormMain() override;

    // ---- Window lifecycle ----------------------------------------------------------------------
    // Load: event log, one-pane layout, show, keystroke capture on TreeViewCtr(0) unless Shift is
    // held, status "Bereit".
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    // What ends the process when the window is closed; the program ends it at once.
    void SetEndProcess(std::function<void()> endProcess) { endProcess_ = std::move(endProcess); }

    // ---- Layout and status -----------------------------------------------------------------------
    // 2: both panes; anything else: the one-pane layout. The window keeps the layout as its state: it opens at
    // the layout's width and can then be resized and maximised freely.
    void SetFormView(qint16 view);
    bool TwoPaneView() const { return twoPanes_; }
    // The width of the window in twips.
    qint32 GetFormView() const;
    void SetStatus(const QString& text) override;
    QString Status() const override;

    // ---- Production order entry ----------------------------------------------------------------
    void TBPaNr_KeyDown(int index, int keyCode, int shift);
    void TBPaNr_Validate(int index);
    void RefreshTreeView() override;

    // ---- Scanning workflow -----------------------------------------------------------------------
    // Records one scanned component against the selected node of pane 0.
    bool ProdCodeSerNrScanInput(const QString& prodCode, const QString& serNr);
    // Lays out the structure of the order of pane 0 anew, cursor on the first component to scan.
    void NewAss();
    // Shows the recorded device carrying code in the tree of pane index (asks for an empty code).
    void SwapDevice(const QString& code, qint16 index);
    // The button clicks and the double-click on a tree node.
    void CBNewAss_Click(int index);
    void CB_SwapDevice_Click(int index);
    void TreeViewCtr_DblClick(int index);
    // A line scanned into the tree of pane 0 that is no production code (a serial number, an external one).
    void TreeViewCtr_ScannedLine(const QString& line);
    // Switches between the one-pane view and the two-pane view of the backfit.
    void CB_Backfit_Click();
    BackfitDrop& Backfit() { return *backfit_; }
    ScanWorkflow& Workflow() { return *workflow_; }

    // ---- Controls (the names the workflow uses) ---------------------------------------------------
    QLineEdit* TBPaNr(int i) const { return tbPaNr_[i]; }
    QLineEdit* TB_ArtNr(int i) const { return tbArtNr_[i]; }
    QLineEdit* TB_Name(int i) const { return tbName_[i]; }
    QLineEdit* TB_Status() const { return tbStatus_; }
    QLineEdit* TB_ProdCodeS() const { return tbProdCodeS_; }
    QLineEdit* TB_ArtNrS() const { return tbArtNrS_; }
    TreeControlView* TreeViewCtrView(int i) const { return treeViews_[i]; }
    QPushButton* CBNewAss(int i) const { return cbNewAss_[i]; }
    QPushButton* CB_SwapDevice(int i) const { return cbSwapDevice_[i]; }
    QPushButton* CB_Backfit() const { return cbBackfit_; }
    QGroupBox* Frame33() const { return frame33_; }
    KeystrokeCapture& Capture() const { return *capture_; }

    // The tree object of the window, created on first use.
    TreeView& Tree() override;

    // WorkstationHost
    NodeTree& TreeViewCtr(int index) override { return nodeTrees_[index]; }
    QString ArtNrText() const override;
    QString PaNrText() const override;
    QString PaNr(int pane) const override;
    void SetPaNr(int pane, const QString& paNr) override;
    void ShowScannedValue(const QString& value) override;
    void ShowScannedArticle(const QString& artNr) override;
    void ShowOrder(int pane, const QString& artNr, const QString& description) override;
    void FocusTree(int pane) override;
    void RepaintTree(int pane) override;
    void ProcessPendingEvents() override;
    QVariant SelectedNodeIndex() const override { return selectedNodeIndex_; }
    void SetSelectedNodeIndex(const QVariant& index) override { selectedNodeIndex_ = index; }
    qint16 LastMouseButton() const override { return lastMouseButton_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    // The text size of the trees and fields (points; 0 leaves Qt's own).
    void ApplyTextSize(int points);
    // Size and position of the window between starts, per user.
    void RestorePlacement();
    void SavePlacement() const;
    void TB_Status_Change();
    // Looks the order number of the pane up; false (after the message, with the pane emptied) when it is
    // refused or unknown.
    bool CheckProductionOrder(int index);
    void TreeViewCtr_NodeClick(int index, TreeNode* node);
    // Mouse-down and mouse-move over the tree of a pane.
    void TreeViewCtr_MouseDown(int index, const QMouseEvent& mouse);
    void TreeViewCtr_MouseMove(int index, const QMouseEvent& mouse);
    // Drag and drop from the right tree onto the left one; true when the event was taken.
    bool TreeViewCtr_DragEvent(int index, QEvent* event);
    // Shows an error that reached an event handler of the window.
    static void ReportHandlerError(const VelkorError& error, const QString& procedure);
    // Runs an event handler of the workflow; an error that reaches it is reported and the window is
    // made ready again.
    template <typename Handler>
    void RunHandler(const QString& procedure, Handler handler);

    std::array<NodeTree, 2> nodeTrees_;
    std::array<QLineEdit*, 2> tbPaNr_{};
    std::array<QLineEdit*, 2> tbArtNr_{};
    std::array<QLineEdit*, 2> tbName_{};
    std::array<TreeControlView*, 2> treeViews_{};
    std::array<QPushButton*, 2> cbNewAss_{};
    std::array<QPushButton*, 2> cbSwapDevice_{};
    QLineEdit* tbStatus_ = nullptr;
    QLineEdit* tbProdCodeS_ = nullptr;
    QLineEdit* tbArtNrS_ = nullptr;
    QPushButton* cbBackfit_ = nullptr;
    QGroupBox* frame33_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    KeystrokeCapture* capture_ = nullptr;
    std::unique_ptr<TreeView> tree_;
    std::unique_ptr<ScanWorkflow> workflow_;
    // Node details, context menu, removal and record editors of the trees.
    std::unique_ptr<NodeTooltipPresenter> tooltips_;
    std::unique_ptr<QtRecordEditors> editors_;
    std::unique_ptr<TreeRework> rework_;
    std::unique_ptr<BackfitDrop> backfit_;
    QPoint dragStart_;       // where the left button went down on the right tree
    QString dragSourceKey_;  // the node it went down on: what a drag from there moves
    QVariant selectedNodeIndex_;
    qint16 lastMouseButton_ = 0;
    // Where the keyboard goes when the window is ready again: the widget that had it when an operation
    // disabled the window, or the one the operation chose.
    QPointer<QWidget> focusAfterBusy_;
    std::function<void()> endProcess_;
    // The order number the Enter key checked last, so leaving the field does not ask again.
    std::array<QString, 2> lastCheckedPaNr_;
    bool unloaded_ = false;
    // The layout shown, and the widths the window goes back to when the second pane closes.
    bool twoPanes_ = false;
    int onePaneWidth_ = 0;
    int widenedTo_ = 0;
};
