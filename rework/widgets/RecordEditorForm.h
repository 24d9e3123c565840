#pragma once

#include <QDialog>

#include "rework/RecordEditorEntry.h"

class DeviceRecordsModel;
class QPushButton;
class QTableView;
class QWidget;

// A record editor window: the grid of the serial numbers or production codes of one device with its
// new-row line, and the buttons "&Hinzufügen", "&Löschen" and "&Neu lesen". The grid is edited in place; the
// edits of a row are written when the cursor leaves the row, before a button's action and when the window
// closes.
class RecordEditorForm : public QDialog {
    Q_OBJECT
public:
    explicit RecordEditorForm(RecordKind kind, QWidget* parent = nullptr);
    ~RecordEditorForm() override;

    // Shows the rows of the device.
    void SetDevId(qint32 devId);

    DeviceRecordsModel& DatPrimaryRS() const { return *model_; }
    QTableView* GrdDataGrid() const { return grid_; }
    QPushButton* CmdAdd() const { return cmdAdd_; }
    QPushButton* CmdDelete() const { return cmdDelete_; }
    QPushButton* CmdRefresh() const { return cmdRefresh_; }

public Q_SLOTS:
    void done(int result) override;

private:
    void CmdAdd_Click();
    void CmdDelete_Click();
    void CmdRefresh_Click();
    // Writes the edits of the grid; the cursor stays in its row.
    void SaveGrid();

    DeviceRecordsModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QWidget* picButtons_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdRefresh_ = nullptr;
    bool saveQueued_ = false;
};

// The serial numbers of a device ("device_Serial").
class FormSerEdit : public RecordEditorForm {
    Q_OBJECT
public:
    explicit FormSerEdit(QWidget* parent = nullptr) : RecordEditorForm(RecordKind::SerialNumbers, parent) {}
};

// The production codes of a device ("device_productioncode").
class FormProdCodeEdit : public RecordEditorForm {
    Q_OBJECT
public:
    explicit FormProdCodeEdit(QWidget* parent = nullptr) : RecordEditorForm(RecordKind::ProductionCodes, parent) {}
};
