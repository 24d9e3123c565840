#include "app/FormMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "db/AssemblyDbClass.h"
#include "rework/BackfitDrop.h"
#include "rework/SwapDeviceButton.h"
#include "rework/TreeRework.h"
#include "rework/widgets/EditMenu.h"
#include "rework/widgets/NodeTooltipPresenter.h"
#include "rework/widgets/QtRecordEditors.h"
#include "shell/EventLog.h"
#include "shell/KeystrokeCapture.h"
#include "shell/Misc.h"
#include "shell/Settings.h"
#include "shell/UserDialogs.h"
#include "shell/Version.h"
#include "tree/TreeView.h"
#include "tree/widgets/TreeControlView.h"
#include "workstation/ScanWorkflow.h"
#include "db/StorableValue.h"

namespace {

const char* const kReady = "Bereit";
const char* const kBusy = "Aktiv";
constexpr int kWindowHeight = 640;
constexpr int kKeyReturn = 13;
const char* const kBackfitCaption = "Umrüstung    ---->";
const char* const kEditCaption = "Bearbeiten    <----";
// What a drag from the right tree carries: the name of the tree control it started on.
const char* const kTreeDragFormat = "application/x-velkor-tree-control";

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QLineEdit* NewField(const QString& objectName, bool readOnly, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setReadOnly(readOnly);
    return field;
}

QLabel* NewLabel(const char* objectName, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(objectName));
    return label;
}

}  // namespace

FormMain::FormMain(QWidget* parent) : QWidget(parent) {
    // The node details show also while a message box or another program has the window in the background.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Velkor Tool ") + ProgramVersion());
    BuildControls();
    ApplyTextSize(Settings::FontPointSize());
    capture_ = new KeystrokeCapture([this](const QString& code) { ProdCodeSerNrScanInput(code, QString()); },
                                    [this](const QString& line) { TreeViewCtr_ScannedLine(line); }, this);
    workflow_ = std::make_unique<ScanWorkflow>(*this);
    tooltips_ = std::make_unique<NodeTooltipPresenter>(
        std::array<QWidget*, 2>{treeViews_[0]->viewport(), treeViews_[1]->viewport()});
    editors_ = std::make_unique<QtRecordEditors>(this);
    rework_ = std::make_unique<TreeRework>(*this, *tooltips_, *editors_);
    backfit_ = std::make_unique<BackfitDrop>(*this, workflow_->capture);
    treeViews_[0]->setAcceptDrops(true);
    const std::pair<const char*, void (TreeRework::*)()> menuEntries[] = {
        {"MnuDeleteAssembly", &TreeRework::MnuDeleteAssembly_Click},
        {"MnuEditSer", &TreeRework::MnuEditSer_Click},
        {"MnuDelete", &TreeRework::MnuDelete_Click}};
    for (const auto& [name, entry] : menuEntries) {
        QAction* action = mnuEdit_->findChild<QAction*>(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, entry = entry] { (rework_.get()->*entry)(); });
    }
    endProcess_ = [] {};
}

FormMain::~FormMain() = default;

TreeView& FormMain::Tree() {
    if (!tree_) {
        tree_ = std::make_unique<TreeView>(*this);
    }
    return *tree_;
}

void FormMain::ReportHandlerError(const VelkorError& error, const QString& procedure) {
    Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure %3 of Formular FormMain")
                         .arg(error.Number())
                         .arg(error.Description(), procedure));
}

void FormMain::BuildControls() {
    auto* outer = new QVBoxLayout(this);
    auto* panes = new QHBoxLayout();
    outer->addLayout(panes, 1);

    for (int i = 0; i < 2; ++i) {
        QGroupBox* frame = new QGroupBox(this);
        frame->setObjectName(i == 0 ? QStringLiteral("Frame1") : QStringLiteral("Frame33"));
        auto* layout = new QVBoxLayout(frame);

        auto* order = new QGridLayout();
        tbPaNr_[i] = NewField(Indexed("TBPaNr", i), false, frame);
        tbArtNr_[i] = NewField(Indexed("TB_ArtNr", i), true, frame);
        tbName_[i] = NewField(Indexed("TB_Name", i), true, frame);
        order->addWidget(new QLabel(QStringLiteral("PA"), frame), 0, 0);
        order->addWidget(tbPaNr_[i], 0, 1);
        order->addWidget(new QLabel(QStringLiteral("Artikel"), frame), 1, 0);
        order->addWidget(tbArtNr_[i], 1, 1);
        order->addWidget(new QLabel(QStringLiteral("Bezeichnung"), frame), 2, 0);
        order->addWidget(tbName_[i], 2, 1);
        layout->addLayout(order);

        treeViews_[i] = new TreeControlView(nodeTrees_[i], frame);
        treeViews_[i]->setObjectName(Indexed("TreeViewCtr", i));
        treeViews_[i]->viewport()->installEventFilter(this);
        treeViews_[i]->viewport()->setMouseTracking(true);
        connect(treeViews_[i], &TreeControlView::nodeCollapsed, this,
                [](TreeNode* node) { TreeRework::OnCollapse(node); });
        connect(treeViews_[i], &QAbstractItemView::clicked, this, [this, i] { rework_->OnClick(i); });
        connect(treeViews_[i], &TreeControlView::nodeClicked, this,
                [this, i](TreeNode* node) { TreeViewCtr_NodeClick(i, node); });
        connect(treeViews_[i], &TreeControlView::nodeDoubleClicked, this, [this, i] { TreeViewCtr_DblClick(i); });
        layout->addWidget(treeViews_[i], 1);

        auto* buttons = new QHBoxLayout();
        cbNewAss_[i] = new QPushButton(QStringLiteral("Neuer Zusammenbau"), frame);
        cbNewAss_[i]->setObjectName(Indexed("CBNewAss", i));
        cbSwapDevice_[i] = new QPushButton(QStringLiteral("Gerät anzeigen"), frame);
        cbSwapDevice_[i]->setObjectName(Indexed("CB_SwapDevice", i));
        // The scanner ends every value with Enter: a focused button takes it as a press.
        cbNewAss_[i]->setAutoDefault(true);
        cbSwapDevice_[i]->setAutoDefault(true);
        connect(cbNewAss_[i], &QPushButton::clicked, this, [this, i] { CBNewAss_Click(i); });
        connect(cbSwapDevice_[i], &QPushButton::clicked, this, [this, i] { CB_SwapDevice_Click(i); });
        buttons->addWidget(cbNewAss_[i]);
        buttons->addWidget(cbSwapDevice_[i]);
        layout->addLayout(buttons);

        tbPaNr_[i]->installEventFilter(this);
        panes->addWidget(frame, 1);
        if (i == 1) {
            frame33_ = frame;
        }
    }

    auto* details = new QGroupBox(this);
    details->setObjectName(QStringLiteral("Frame2"));
    auto* detailsLayout = new QGridLayout(details);
    tbProdCodeS_ = NewField(Indexed("TB_ProdCodeS", 0), true, details);
    tbArtNrS_ = NewField(Indexed("TB_ArtNrS", 0), true, details);
    detailsLayout->addWidget(NewLabel("BZ_ProdCode", QStringLiteral("Produktionscode / Seriennummer"), details), 0, 0);
    detailsLayout->addWidget(tbProdCodeS_, 0, 1);
    detailsLayout->addWidget(NewLabel("BZ_ArtNr", QStringLiteral("Artikelnummer"), details), 1, 0);
    detailsLayout->addWidget(tbArtNrS_, 1, 1);
    outer->addWidget(details);

    auto* statusFrame = new QGroupBox(this);
    statusFrame->setObjectName(QStringLiteral("Frame3"));
    auto* statusLayout = new QHBoxLayout(statusFrame);
    statusLayout->addWidget(NewLabel("Label2", QStringLiteral("Status"), statusFrame));
    tbStatus_ = NewField(QStringLiteral("TB_Status"), true, statusFrame);
    tbStatus_->setFocusPolicy(Qt::NoFocus);
    statusLayout->addWidget(tbStatus_, 1);
    statusLayout->addWidget(NewLabel("Label3", QStringLiteral("Umrüstung"), statusFrame));
    cbBackfit_ = new QPushButton(QString::fromUtf8(kBackfitCaption), statusFrame);
    cbBackfit_->setObjectName(QStringLiteral("CB_Backfit"));
    statusLayout->addWidget(cbBackfit_);
    outer->addWidget(statusFrame);
    connect(cbBackfit_, &QPushButton::clicked, this,
            [this] { RunHandler(QStringLiteral("CB_Backfit_Click"), [this] { CB_Backfit_Click(); }); });
    connect(tbStatus_, &QLineEdit::textChanged, this, [this] { TB_Status_Change(); });

    // Context menu of the trees: device removal and the record editors.
    mnuEdit_ = new QMenu(this);
    mnuEdit_->setObjectName(QStringLiteral("MnuEdit"));
    const std::pair<const char*, const char*> entries[] = {{"MnuMainDelete", "Gerät"},
                                                           {"MnuDeleteAssembly", "- Zuweisung aufheben"},
                                                           {"MnuSerNrEdit", "-"},
                                                           {"MnuMainSerNr", "Seriennummern"},
                                                           {"MnuEditSer", "- bearbeiten"},
                                                           {"MnuProdCodeEdit", "-"},
                                                           {"MnuMainProdCode", "Produktionscodes"},
                                                           {"MnuDelete", "- bearbeiten"}};
    for (const auto& [name, caption] : entries) {
        QAction* action = QString::fromUtf8(caption) == QStringLiteral("-")
                              ? mnuEdit_->addSeparator()
                              : mnuEdit_->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
    }

    // The window opens at the one-pane width, the narrowest it gets (its controls were laid out for it); from
    // there it grows as the worker likes.
    setMinimumWidth(kOnePaneWidthTwips / kTwipsPerPixel);
    resize(kOnePaneWidthTwips / kTwipsPerPixel, kWindowHeight);
}

// ---- Lifecycle ---------------------------------------------------------------------------------

void FormMain::Form_Load() {
    LogEvent(QStringLiteral("FormMain Load"));
    RestorePlacement();
    SetFormView(1);
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();  // ends the wait cursor of the update check
    }
    show();
    activateWindow();  // the scanner types into this window from the start
    if (!IsShiftKeyDown()) {
        capture_->Install(treeViews_[0]);
    }
    SetStatus(QLatin1String(kReady));
    tbPaNr_[0]->setFocus();
    LogEvent(QStringLiteral("FormMain Load Done"));
}

void FormMain::Form_Activate() {
    LogEvent(QStringLiteral("FormMain Active"));
    SetStatus(QLatin1String(kReady));
    LogEvent(QStringLiteral("FormMain Active Done"));
}

void FormMain::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    LogEvent(QStringLiteral("FormMain Unload"));
    capture_->Remove();
    SavePlacement();
    LogEvent(QStringLiteral("FormMain Unload Done"));
    endProcess_();
}

bool FormMain::event(QEvent* event) {
    // Activation by the worker (from another window of the desktop), not the return from one of the
    // program's own modal boxes in the middle of an operation.
    if (event->type() == QEvent::WindowActivate && Status() != QLatin1String(kBusy) &&
        QApplication::activeModalWidget() == nullptr) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void FormMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// ---- Layout and status ---------------------------------------------------------------------------

void FormMain::SetStatus(const QString& text) {
    if (tbStatus_->text() == text) {
        TB_Status_Change();
    } else {
        tbStatus_->setText(text);
    }
}

QString FormMain::Status() const {
    return tbStatus_->text();
}

void FormMain::TB_Status_Change() {
    const bool ready = tbStatus_->text() == QLatin1String(kReady);
    if (!ready && isEnabled() && focusAfterBusy_.isNull()) {
        // Disabling the window takes the keyboard away; it comes back when the window is ready again.
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && isAncestorOf(focus)) {
            focusAfterBusy_ = focus;
        }
    }
    setEnabled(ready);
    if (ready && !focusAfterBusy_.isNull()) {
        QWidget* focus = focusAfterBusy_;
        focusAfterBusy_.clear();
        focus->setFocus(Qt::OtherFocusReason);
    }
    QPalette palette = tbStatus_->palette();
    palette.setColor(QPalette::Text, ready ? QColor(Qt::black) : QColor(Qt::red));
    palette.setColor(QPalette::Disabled, QPalette::Text, ready ? QColor(Qt::black) : QColor(Qt::red));
    tbStatus_->setPalette(palette);
    tbStatus_->repaint();
}

void FormMain::FocusTree(int pane) {
    if (isEnabled()) {
        focusAfterBusy_.clear();
        treeViews_[pane]->setFocus(Qt::OtherFocusReason);
    } else {
        focusAfterBusy_ = treeViews_[pane];
    }
}

void FormMain::RepaintTree(int pane) {
    treeViews_[pane]->viewport()->repaint();
}

void FormMain::ProcessPendingEvents() {
    QApplication::processEvents();
}

QString FormMain::PaNr(int pane) const {
    return tbPaNr_[pane]->text();
}

void FormMain::SetPaNr(int pane, const QString& paNr) {
    tbPaNr_[pane]->setText(paNr);
}

void FormMain::ShowScannedValue(const QString& value) {
    tbProdCodeS_->setText(value);
}

void FormMain::ShowScannedArticle(const QString& artNr) {
    tbArtNrS_->setText(artNr);
}

// ---- Production order entry ------------------------------------------------------------------

QString FormMain::ArtNrText() const {
    return tbArtNr_[0]->text();
}

QString FormMain::PaNrText() const {
    return tbPaNr_[0]->text();
}

bool FormMain::CheckProductionOrder(int index) {
    lastCheckedPaNr_[index] = tbPaNr_[index]->text();
    return workflow_->order.CheckProductionOrder(index);
}

void FormMain::ShowOrder(int pane, const QString& artNr, const QString& description) {
    tbArtNr_[pane]->setText(artNr);
    tbName_[pane]->setText(description);
}

void FormMain::TBPaNr_KeyDown(int index, int keyCode, int /*shift*/) {
    if (keyCode != kKeyReturn) {
        return;
    }
    bool known = false;
    try {
        known = CheckProductionOrder(index);
    } catch (const VelkorError& error) {
        AssemblyDbClass::ReportError(error, QStringLiteral("TBPaNr_KeyDown"));
    }
    SetStatus(QLatin1String(kReady));
    if (!known) {
        // The worker corrects the number where it was scanned.
        tbPaNr_[index]->setFocus();
        tbPaNr_[index]->selectAll();
    } else if (index == 0) {
        cbNewAss_[0]->setFocus();
    } else {
        cbSwapDevice_[1]->setFocus();
    }
}

void FormMain::TBPaNr_Validate(int index) {
    // The Enter key has just checked this very number: leaving the field does not ask again.
    if (tbPaNr_[index]->text() != lastCheckedPaNr_[index]) {
        try {
            CheckProductionOrder(index);
        } catch (const VelkorError& error) {
            AssemblyDbClass::ReportError(error, QStringLiteral("TBPaNr_Validate"));
        }
    }
    selectedNodeIndex_ = QVariant();
}

void FormMain::RefreshTreeView() {
    SetStatus(QLatin1String(kBusy));
    try {
        const QString paNr = tbPaNr_[0]->text();
        if (AssemblyDbClass::Shared().GetArtNrFromPaNrKHK(paNr).isEmpty()) {
            SetStatus(QLatin1String(kReady));
            return;
        }
        if (!paNr.isEmpty()) {
            Tree().SetTreeViewIndex(0);
            Tree().CreateNodesForPA(paNr);
        } else {
            Dialogs().MsgBox(QStringLiteral("Bitte einen Produktionsauftrag eigeben!"));
        }
    } catch (const VelkorError& error) {
        ReportHandlerError(error, QStringLiteral("RefreshTreeView"));
    }
    SetStatus(QLatin1String(kReady));
}

void FormMain::TreeViewCtr_NodeClick(int index, TreeNode* node) {
    rework_->OnNodeClick(index, node);
}

namespace {

// 1 left, 2 right, 4 middle, added when several are held.
int ButtonValue(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) + (buttons & Qt::RightButton ? 2 : 0) +
           (buttons & Qt::MiddleButton ? 4 : 0);
}

}  // namespace

void FormMain::TreeViewCtr_MouseDown(int index, const QMouseEvent& mouse) {
    lastMouseButton_ = static_cast<qint16>(ButtonValue(mouse.button()));
    const QPoint pos = mouse.position().toPoint();
    dragStart_ = pos;
    TreeControlView* view = treeViews_[index];
    TreeNode* pressed = view->NodeAtPoint(pos);
    dragSourceKey_ = pressed != nullptr ? pressed->Key() : QString();
    if (rework_->OnMouseDown(index, lastMouseButton_, pos.x() * kTwipsPerPixel,
                             [&](int xTwips) { return view->NodeAtPoint(QPoint(xTwips / kTwipsPerPixel, pos.y())); })) {
        ApplyEditMenuState(*mnuEdit_, rework_->EditMenu());
        mnuEdit_->popup(mouse.globalPosition().toPoint());
    }
}

void FormMain::TreeViewCtr_MouseMove(int index, const QMouseEvent& mouse) {
    // Only the right tree is a drag source.
    if (mouse.buttons() == Qt::LeftButton && index > 0 &&
        (mouse.position().toPoint() - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        // What is dragged is the node the button went down on, wherever the pointer has moved the selection
        // since.
        TreeNode* source = dragSourceKey_.isEmpty() ? nullptr : nodeTrees_[index].Item(dragSourceKey_);
        if (source == nullptr) {
            return;
        }
        nodeTrees_[index].SetSelectedItem(source);
        backfit_->DragSourceIndex = static_cast<qint16>(index);
        auto* data = new QMimeData();
        data->setData(QLatin1String(kTreeDragFormat), treeViews_[index]->objectName().toUtf8());
        auto* drag = new QDrag(treeViews_[index]);
        drag->setMimeData(data);
        drag->exec(Qt::MoveAction);
        return;
    }
    rework_->OnMouseMove(index, ButtonValue(mouse.buttons()),
                         treeViews_[index]->NodeAtPoint(mouse.position().toPoint()));
}

template <typename Handler>
void FormMain::RunHandler(const QString& procedure, Handler handler) {
    try {
        handler();
    } catch (const VelkorError& error) {
        ReportHandlerError(error, procedure);
        SetStatus(QLatin1String(kReady));
    }
}

bool FormMain::ProdCodeSerNrScanInput(const QString& prodCode, const QString& serNr) {
    return workflow_->capture.ProdCodeSerNrScanInput(prodCode, serNr);
}

void FormMain::NewAss() {
    RunHandler(QStringLiteral("NewAss"), [this] { workflow_->newAss.NewAss(); });
}

void FormMain::SwapDevice(const QString& code, qint16 index) {
    RunHandler(QStringLiteral("SwapDevice"), [&] { workflow_->display.SwapDevice(code, index); });
}

void FormMain::CBNewAss_Click(int index) {
    RunHandler(QStringLiteral("CBNewAss_Click"), [&] { workflow_->newAss.CBNewAss_Click(static_cast<qint16>(index)); });
}

void FormMain::CB_Backfit_Click() {
    if (!twoPanes_) {
        SetFormView(2);
        cbBackfit_->setText(QString::fromUtf8(kEditCaption));
        cbSwapDevice_[0]->setEnabled(true);
        SetStatus(QLatin1String(kBusy));
        if (!PaNr(0).isEmpty() && !AssemblyDbClass::Shared().GetArtNrFromPaNrKHK(PaNr(0)).isEmpty()) {
            Tree().SetTreeViewIndex(0);
            Tree().CreateNodesForPA(PaNr(0));
        }
        SetStatus(QLatin1String(kReady));
        QApplication::processEvents();
    } else {
        SetFormView(1);
        cbBackfit_->setText(QString::fromUtf8(kBackfitCaption));
        cbSwapDevice_[0]->setEnabled(true);
    }
}

bool FormMain::TreeViewCtr_DragEvent(int index, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!drag->mimeData()->hasFormat(QLatin1String(kTreeDragFormat))) {
                return false;
            }
            if (index != backfit_->DragSourceIndex) {
                treeViews_[index]->SetDropHighlight(treeViews_[index]->NodeAtPoint(drag->position().toPoint()));
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::DragLeave:
            treeViews_[index]->SetDropHighlight(nullptr);
            return false;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            treeViews_[index]->SetDropHighlight(nullptr);
            if (!drop->mimeData()->hasFormat(QLatin1String(kTreeDragFormat))) {
                return false;
            }
            const QString sourceName = QString::fromUtf8(drop->mimeData()->data(QLatin1String(kTreeDragFormat)));
            TreeNode* target = treeViews_[index]->NodeAtPoint(drop->position().toPoint());
            const QString targetKey = target != nullptr ? target->Key() : QString();
            const QString sourceKey = dragSourceKey_;
            const int sourceIndex = backfit_->DragSourceIndex;
            drop->acceptProposedAction();
            // The drop asks questions and a password: it runs once the drag has ended.
            QMetaObject::invokeMethod(
                this,
                [this, index, sourceName, sourceKey, sourceIndex, targetKey] {
                    RunHandler(QStringLiteral("TreeViewCtr_DragDrop"), [&] {
                        TreeNode* source = sourceIndex >= 0 && sourceIndex < 2 && !sourceKey.isEmpty()
                                               ? nodeTrees_[sourceIndex].Item(sourceKey)
                                               : nullptr;
                        backfit_->Drop(index, sourceName, source,
                                       targetKey.isEmpty() ? nullptr : nodeTrees_[index].Item(targetKey));
                    });
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
    }
}

void FormMain::CB_SwapDevice_Click(int index) {
    RunHandler(QStringLiteral("CB_SwapDevice_Click"),
               [&] { ::CB_SwapDevice_Click(*this, workflow_->display, static_cast<qint16>(index)); });
}

void FormMain::TreeViewCtr_DblClick(int index) {
    RunHandler(QStringLiteral("TreeViewCtr_DblClick"), [&] { workflow_->entry.TreeViewCtr_DblClick(index); });
}

void FormMain::TreeViewCtr_ScannedLine(const QString& line) {
    RunHandler(QStringLiteral("TreeViewCtr_KeyPress"), [&] { workflow_->entry.TreeViewCtr_ScannedLine(line); });
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 2; ++i) {
        if (watched == tbPaNr_[i]) {
            if (event->type() == QEvent::KeyPress) {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                    TBPaNr_KeyDown(i, kKeyReturn, static_cast<int>(key->modifiers() & Qt::ShiftModifier ? 1 : 0));
                    return true;
                }
            } else if (event->type() == QEvent::FocusOut && !unloaded_) {
                const auto* focus = static_cast<QFocusEvent*>(event);
                // A message box of the check itself takes the focus for a moment, and an operation that
                // disables the window takes it until it ends: neither is leaving the field.
                if (focus->reason() != Qt::PopupFocusReason && focus->reason() != Qt::ActiveWindowFocusReason &&
                    Status() == QLatin1String(kReady)) {
                    TBPaNr_Validate(i);
                }
            }
        }
        if (rework_ && watched == treeViews_[i]->viewport()) {
            if (TreeViewCtr_DragEvent(i, event)) {
                return true;
            }
            if (event->type() == QEvent::MouseButtonPress) {
                TreeViewCtr_MouseDown(i, *static_cast<QMouseEvent*>(event));
            } else if (event->type() == QEvent::MouseMove) {
                TreeViewCtr_MouseMove(i, *static_cast<QMouseEvent*>(event));
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
