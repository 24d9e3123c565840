#include "rework/DeviceRecordsModel.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "db/AssemblyDbClass.h"
#include "db/HostConnection.h"
#include "db/OdbcSource.h"
#include "shell/CorrectionLog.h"
#include "shell/Misc.h"
#include "shell/UserDialogs.h"

namespace {

QString NextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("RecordEditor%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

// An error text as the worker sees it; the connection's password never shows in it.
QString ErrorText(const QSqlError& error) {
    QString text = error.text();
    text.replace(odbc::ConnectOptions(), QStringLiteral("TestLogNew"));
    text.replace(QRegularExpression(QStringLiteral("PWD=[^;]*")), QStringLiteral("PWD=…"));
    return text;
}

// A value read from a row, bound to find the row again: a NULL stays NULL.
QVariant StoredValue(const QVariant& read) {
    return read.isNull() ? QVariant(QMetaType::fromType<QString>()) : odbc::BindableValue(read);
}

QVariantList StoredValues(const QVariantList& stored) {
    QVariantList values;
    for (const QVariant& value : stored) {
        values.append(StoredValue(value));
    }
    return values;
}

}  // namespace

DeviceRecordsModel::DeviceRecordsModel(RecordKind kind, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), connectionName_(NextConnectionName()) {
    // The servers of the workstation's session (host list, a ready cluster node, causal reads).
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    OpenOnHostList(db);  // a failure shows when the rows are read
}

DeviceRecordsModel::~DeviceRecordsModel() {
    {
        QSqlDatabase db = Connection();
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase DeviceRecordsModel::Connection() const {
    return QSqlDatabase::database(connectionName_, false);
}

QString DeviceRecordsModel::Caption() const {
    return kind_ == RecordKind::SerialNumbers ? QStringLiteral("device_Serial")
                                              : QStringLiteral("device_productioncode");
}

QString DeviceRecordsModel::Table() const {
    return kind_ == RecordKind::SerialNumbers ? QStringLiteral("device_serialnumber")
                                              : QStringLiteral("device_productioncode");
}

QString DeviceRecordsModel::ValueField() const {
    return kind_ == RecordKind::SerialNumbers ? QStringLiteral("SerialNumber") : QStringLiteral("ProductionCode");
}

void DeviceRecordsModel::SetDevId(qint32 devId) {
    devId_ = devId;
    Requery();
}

bool DeviceRecordsModel::Requery() {
    if (!Connection().isOpen()) {
        QSqlDatabase db = Connection();
        OpenOnHostList(db);
    }
    beginResetModel();
    rows_.clear();
    QSqlQuery query(Connection());
    query.setForwardOnly(true);
    // Only rows of a recorded device, oldest first (entries of the same time by their value). The entry date
    // comes a second time as text, to the microsecond, to find the row again.
    const bool serials = kind_ == RecordKind::SerialNumbers;
    bool ok = query.prepare(
        QStringLiteral("SELECT %1.%2, %1.CreationDate, %1.DeviceID, CAST(%1.CreationDate AS CHAR)%3 "
                       "FROM device INNER JOIN %1 ON device.ID = %1.DeviceID WHERE %1.DeviceID = ? "
                       "ORDER BY %1.CreationDate, %1.%2")
            .arg(Table(), ValueField(), serials ? QStringLiteral(", device_serialnumber.ExtFlag") : QString()));
    query.addBindValue(devId_);
    ok = ok && query.exec();
    while (ok && query.next()) {
        Row row;
        row.values = {query.value(0).toString(), query.value(1), query.value(2)};
        row.stored = {query.value(0), query.value(3), query.value(2)};
        if (serials) {
            row.stored.append(query.value(4));
        }
        rows_.push_back(row);
    }
    endResetModel();
    const QSqlError error =
        ok ? query.lastError() : (query.lastError().isValid() ? query.lastError() : Connection().lastError());
    if (!ok || error.isValid()) {
        ShowDatabaseError(QString(), error);
        return false;
    }
    return true;
}

bool DeviceRecordsModel::HasPendingChanges() const {
    for (const Row& row : rows_) {
        if (row.Dirty()) {
            return true;
        }
    }
    return false;
}

qint64 DeviceRecordsModel::DeviceIdOfRow(const Row& row) {
    bool ok = false;
    const qint64 id = TrimBlanks(row.values[DeviceIdColumn].toString()).toLongLong(&ok);
    return ok ? id : 0;
}

bool DeviceRecordsModel::SaveChanges() {
    if (!HasPendingChanges()) {
        return true;
    }
    for (const Row& row : rows_) {
        if (row.Dirty() && DeviceIdOfRow(row) != devId_) {
            Dialogs().MsgBox(QStringLiteral("Die Änderung wurde nicht gespeichert: In diesem Fenster können nur "
                                            "Einträge des Geräts %1 geändert werden (eingetragene DeviceId: %2).")
                                 .arg(devId_)
                                 .arg(row.values[DeviceIdColumn].toString()));
            Requery();
            return false;
        }
    }
    QSqlDatabase db = Connection();
    try {
        if (!db.transaction()) {
            throw db.lastError();
        }
        GuardDevice();
        QStringList changes;
        for (const Row& row : rows_) {
            // A new row left without a value records nothing.
            if (row.Dirty() && (row.Written() || !row.values[ValueColumn].toString().isEmpty())) {
                WriteRow(row);
                changes.append(ChangeText(row));
            }
        }
        WriteJournal(changes);
        if (!db.commit()) {
            throw db.lastError();
        }
        LogCorrection(Caption() + QStringLiteral(" geändert"),
                      QStringList(QStringLiteral("Gerät %1").arg(devId_)) + changes);
    } catch (const QSqlError& error) {
        db.rollback();
        ShowDatabaseError(QStringLiteral("Data error event hit err:"), error);
        Requery();
        return false;
    } catch (const Refusal& refusal) {
        db.rollback();
        Dialogs().MsgBox(refusal.text);
        Requery();
        return false;
    }
    Requery();
    return true;
}

void DeviceRecordsModel::Run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    bool ok = query.prepare(sql);
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!ok || !query.exec()) {
        throw query.lastError();
    }
}

void DeviceRecordsModel::GuardDevice() {
    const QList<AssemblyDbClass::Statement> statements =
        AssemblyDbClass::Shared().DeviceGuardStatements(static_cast<qint32>(devId_));
    for (qsizetype i = 0; i < statements.size(); ++i) {
        QSqlQuery query(Connection());
        Run(query, statements[i].sql, statements[i].values);
        if (i == 0 && !query.next()) {
            throw Refusal{QStringLiteral("Das Gerät %1 ist nicht mehr erfasst. Die Änderung wurde nicht gespeichert.")
                              .arg(devId_)};
        }
    }
}

void DeviceRecordsModel::RequireStoredRow(const Row& row) {
    QSqlQuery query(Connection());
    Run(query, QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1 FOR UPDATE").arg(Table(), StoredRowCondition()),
        StoredValues(row.stored));
    if (!query.next()) {
        throw Refusal{QStringLiteral("Ein Eintrag des Geräts %1 wurde inzwischen an einem anderen Arbeitsplatz "
                                     "geändert oder gelöscht. Die Änderung wurde nicht gespeichert; die Einträge "
                                     "werden neu gelesen.")
                          .arg(devId_)};
    }
}

void DeviceRecordsModel::WriteJournal(const QStringList& changes) {
    // The correction is kept with its journal row or not at all (the journal is the program's: there when the
    // workstation's session found or made it).
    if (changes.isEmpty() || !AssemblyDbClass::Shared().HasJournal()) {
        return;
    }
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString detail = Caption() + QStringLiteral(": ") + changes.join(QStringLiteral("; "));
    for (const AssemblyDbClass::Statement& statement : AssemblyDbClass::JournalStatements(
             id, QStringLiteral("correction"), QString(), detail, {static_cast<qint32>(devId_)})) {
        QVariantList values;
        for (const QVariant& value : statement.values) {
            values.append(odbc::BindableValue(value));
        }
        QSqlQuery query(Connection());
        Run(query, statement.sql, values);
    }
}

QString DeviceRecordsModel::ChangeText(const Row& row, bool deleted) {
    const auto shown = [](const QVariantList& values) {
        QStringList texts;
        for (const QVariant& value : values.mid(0, ColumnCount)) {
            texts.append(value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        return texts.join(QLatin1Char('|'));
    };
    const QString before = row.Written() ? shown(row.stored) : QStringLiteral("neu");
    if (deleted) {
        return before + QStringLiteral(" -> gelöscht");
    }
    return before + QStringLiteral(" -> ") + shown({row.values[0], row.values[1], row.values[2]});
}

QString DeviceRecordsModel::StoredRowCondition() const {
    QString condition = QStringLiteral("%1 <=> ? AND CreationDate <=> ? AND DeviceID <=> ?").arg(ValueField());
    if (kind_ == RecordKind::SerialNumbers) {
        condition += QStringLiteral(" AND ExtFlag <=> ?");
    }
    return condition;
}

void DeviceRecordsModel::WriteRow(const Row& row) {
    static const char* const fields[ColumnCount] = {nullptr, "CreationDate", "DeviceID"};
    QStringList columns;
    QVariantList values;
    for (int column = 0; column < ColumnCount; ++column) {
        if (row.changed[column] || (!row.Written() && column == DeviceIdColumn)) {
            columns.append(column == ValueColumn ? ValueField() : QLatin1String(fields[column]));
            values.append(column == DeviceIdColumn ? QVariant(devId_) : odbc::BindableValue(row.values[column]));
        }
    }
    QSqlQuery query(Connection());
    QString sql;
    if (row.Written()) {
        RequireStoredRow(row);
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 LIMIT 1")
                  .arg(Table(), columns.join(QStringLiteral(" = ?, ")), StoredRowCondition());
        values += StoredValues(row.stored);
    } else {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(Table(), columns.join(QStringLiteral(", ")),
                       QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    }
    Run(query, sql, values);
}

bool DeviceRecordsModel::DeleteRow(int row) {
    if (!IsRecord(row)) {
        Dialogs().MsgBox(QStringLiteral("Es ist kein Datensatz ausgewählt, der gelöscht werden kann."));
        return false;
    }
    if (rows_[row].Written()) {
        QSqlDatabase db = Connection();
        try {
            // The deletion and its journal row are kept together.
            if (!db.transaction()) {
                throw db.lastError();
            }
            GuardDevice();
            RequireStoredRow(rows_[row]);
            QSqlQuery query(db);
            Run(query, QStringLiteral("DELETE FROM %1 WHERE %2 LIMIT 1").arg(Table(), StoredRowCondition()),
                StoredValues(rows_[row].stored));
            WriteJournal({ChangeText(rows_[row], true)});
            if (!db.commit()) {
                throw db.lastError();
            }
        } catch (const QSqlError& error) {
            db.rollback();
            ShowDatabaseError(QString(), error);
            Requery();
            return false;
        } catch (const Refusal& refusal) {
            db.rollback();
            Dialogs().MsgBox(refusal.text);
            Requery();
            return false;
        }
        LogCorrection(Caption() + QStringLiteral(" gelöscht"),
                      {QStringLiteral("Gerät %1").arg(devId_), ChangeText(rows_[row], true)});
        // The device lost a value it carried: it is no longer complete.
        try {
            AssemblyDbClass::Shared().SetOKFlagInAssembly(devId_, false);
        } catch (const VelkorError&) {
            // Reported; the row is gone all the same.
        }
    }
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    // Only now are the other rows' edits written: saving reads the rows again in their order, where the
    // position of the chosen row may hold another one.
    if (HasPendingChanges()) {
        SaveChanges();
    }
    return true;
}

void DeviceRecordsModel::ShowDatabaseError(const QString& prefix, const QSqlError& error) const {
    Dialogs().MsgBox(prefix + ErrorText(error));
}

int DeviceRecordsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : NewRowLine() + 1;
}

int DeviceRecordsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeviceRecordsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsRecord(index.row()) || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return QVariant();
    }
    const QVariant& value = rows_[index.row()].values[index.column()];
    if (index.column() == DateColumn && role == Qt::DisplayRole && value.typeId() == QMetaType::QDateTime) {
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    return value;
}

QVariant DeviceRecordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case ValueColumn:
            return kind_ == RecordKind::SerialNumbers ? QStringLiteral("Seriennummer")
                                                      : QStringLiteral("Produktionscode");
        case DateColumn:
            return QStringLiteral("Eintragungsdatum");
        case DeviceIdColumn:
            return QStringLiteral("DeviceId");
        default:
            return QVariant();
    }
}

Qt::ItemFlags DeviceRecordsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool DeviceRecordsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() > NewRowLine()) {
        return false;
    }
    const int row = index.row();
    if (row == NewRowLine()) {
        if (IsNullOrEmpty(value)) {
            return false;  // nothing typed into the new-row line
        }
        // The line becomes a row of its own; a new empty line appears below it.
        beginInsertRows(QModelIndex(), row + 1, row + 1);
        rows_.push_back(Row());
        endInsertRows();
    }
    Row& target = rows_[row];
    target.values[index.column()] = value;
    target.changed[index.column()] = true;
    if (index.column() != DeviceIdColumn && !IsNullOrEmpty(value)) {
        target.values[DeviceIdColumn] = devId_;
        target.changed[DeviceIdColumn] = true;
    }
    Q_EMIT dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    return true;
}
