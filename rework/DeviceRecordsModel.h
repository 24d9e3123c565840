#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>
#include <array>
#include <vector>

#include "rework/RecordEditorEntry.h"

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// The rows of one device in device_serialnumber or device_productioncode, as the record editors show and
// change them, on a connection of their own, opened as the workstation's session is (the host list, a ready
// cluster node, causal reads: db/HostConnection.h). Three columns: the value
// (serial number or production code), its entry date and the device ID. Below the rows there is always an
// empty new-row line; typing into it adds a row of the shown device.
//
// Edits are kept until SaveChanges writes them, all in one transaction. Only rows of the shown device are
// written: a row whose device ID was changed to another device is refused with a message. A change the
// database refuses is shown, nothing of it stays written, and the rows are read again.
class DeviceRecordsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ValueColumn = 0, DateColumn = 1, DeviceIdColumn = 2, ColumnCount = 3 };

    explicit DeviceRecordsModel(RecordKind kind, QObject* parent = nullptr);
    ~DeviceRecordsModel() override;

    RecordKind Kind() const { return kind_; }
    // Window caption of the editor of these rows.
    QString Caption() const;

    // Shows the rows of the device (read at once).
    void SetDevId(qint32 devId);
    qint32 DevId() const { return devId_; }
    // Reads the rows again; edits not saved are dropped. False (after showing the error) when the database
    // could not be read.
    bool Requery();

    // The row of the new-row line; rows above it hold records.
    int NewRowLine() const { return static_cast<int>(rows_.size()); }
    bool IsRecord(int row) const { return row >= 0 && row < NewRowLine(); }
    bool HasPendingChanges() const;
    // Writes the edited and added rows; true when everything (or nothing) had to be written.
    bool SaveChanges();
    // Deletes the record of the row, found by the values it was read with (not by its position), then writes
    // the edits of the other rows; the device is marked not complete. Without a record in the row, the worker
    // is told that there is none. True when the row is gone.
    bool DeleteRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A cell edited with a value: the row belongs to the shown device from now on (the device ID column
    // follows, unless it is the cell edited).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    // Inside the save's transaction: the journal row of the correction (the changes as the event log names them).
    void WriteJournal(const QStringList& changes);
    // A change the editor does not make, told to the supervisor as it stands.
    struct Refusal {
        QString text;
    };
    struct Row {
        // The tables have no row key: a row written before is found again by what was read of it, every column
        // (value, entry date to the microsecond as text, device ID, and for serial numbers the external flag).
        // Empty for a row not yet written.
        QVariantList stored;
        std::array<QVariant, ColumnCount> values;
        std::array<bool, ColumnCount> changed{};
        bool Written() const { return !stored.isEmpty(); }
        bool Dirty() const { return changed[0] || changed[1] || changed[2]; }
    };

    QSqlDatabase Connection() const;
    QString Table() const;
    QString ValueField() const;
    // The device ID a row names; 0 when its text is no device ID.
    static qint64 DeviceIdOfRow(const Row& row);
    // The condition that finds a written row again (its values: Row::stored); it may fit identical copies of
    // the row, of which a statement then changes one.
    QString StoredRowCondition() const;
    // Old and new values of a row for the correction log: "value|date|device -> value|date|device".
    static QString ChangeText(const Row& row, bool deleted = false);
    // Writes one row; throws the database's error.
    void WriteRow(const Row& row);
    // Inside the change's transaction: the device's guard (a workstation placing, moving or removing it waits, or
    // is waited for), and a stored row that is about to change still as it was read. Throws a Refusal otherwise.
    void GuardDevice();
    void RequireStoredRow(const Row& row);
    void Run(QSqlQuery& query, const QString& sql, const QVariantList& values);
    void ShowDatabaseError(const QString& prefix, const QSqlError& error) const;

    RecordKind kind_;
    QString connectionName_;
    qint32 devId_ = 0;
    std::vector<Row> rows_;
};
