#include "rework/widgets/RecordEditorForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "rework/DeviceRecordsModel.h"

RecordEditorForm::RecordEditorForm(RecordKind kind, QWidget* parent) : QDialog(parent) {
    model_ = new DeviceRecordsModel(kind, this);
    setWindowTitle(model_->Caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("grdDataGrid"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setColumnWidth(DeviceRecordsModel::ValueColumn, 180);
    grid_->setColumnWidth(DeviceRecordsModel::DateColumn, 160);
    layout->addWidget(grid_, 1);

    picButtons_ = new QWidget(this);
    picButtons_->setObjectName(QStringLiteral("picButtons"));
    auto* buttons = new QHBoxLayout(picButtons_);
    buttons->setContentsMargins(0, 0, 0, 0);
    cmdAdd_ = new QPushButton(QStringLiteral("&Hinzufügen"), picButtons_);
    cmdDelete_ = new QPushButton(QStringLiteral("&Löschen"), picButtons_);
    cmdRefresh_ = new QPushButton(QStringLiteral("&Neu lesen"), picButtons_);
    for (QPushButton* button : {cmdAdd_, cmdDelete_, cmdRefresh_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addWidget(picButtons_);
    resize(560, 320);

    connect(cmdAdd_, &QPushButton::clicked, this, [this] { CmdAdd_Click(); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(cmdRefresh_, &QPushButton::clicked, this, [this] { CmdRefresh_Click(); });
    // Leaving a row writes its edits: after the move, so the grid is not reset while it moves its cursor.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (model_->HasPendingChanges() && !saveQueued_) {
            saveQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                saveQueued_ = false;
                SaveGrid();
            });
        }
    });
}

RecordEditorForm::~RecordEditorForm() = default;

void RecordEditorForm::SetDevId(qint32 devId) {
    model_->SetDevId(devId);
}

void RecordEditorForm::SaveGrid() {
    const QModelIndex current = grid_->currentIndex();
    model_->SaveChanges();
    if (current.isValid()) {
        grid_->setCurrentIndex(model_->index(qMin(current.row(), model_->NewRowLine()), current.column()));
    }
}

void RecordEditorForm::CmdAdd_Click() {
    SaveGrid();
    const QModelIndex line = model_->index(model_->NewRowLine(), DeviceRecordsModel::ValueColumn);
    grid_->setFocus();
    grid_->setCurrentIndex(line);
    grid_->edit(line);
}

void RecordEditorForm::CmdDelete_Click() {
    const int row = grid_->currentIndex().isValid() ? grid_->currentIndex().row() : -1;
    if (model_->DeleteRow(row)) {  // the edits of other rows are kept
        grid_->setCurrentIndex(model_->index(qMin(row, model_->NewRowLine()), DeviceRecordsModel::ValueColumn));
    }
}

void RecordEditorForm::CmdRefresh_Click() {
    SaveGrid();
    model_->Requery();
}

void RecordEditorForm::done(int result) {
    // Leaving the cell takes over what is being typed into it; then everything is written before the
    // window goes.
    grid_->setCurrentIndex(QModelIndex());
    model_->SaveChanges();
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
    QDialog::done(result);
}
