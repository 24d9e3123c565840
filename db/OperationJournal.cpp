// The journal of kept operations (db/journal.sql) and what it tells after a connection lost around a commit.

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSysInfo>
#include <QUuid>
#include <algorithm>

#include "db/AssemblyDbClass.h"
#include "db/ProviderError.h"
#include "shell/CorrectionLog.h"
#include "shell/EventLog.h"
#include "shell/UserDialogs.h"

namespace {

// The statements of a schema file of the program's own, one per entry; comment lines left out.
QStringList SchemaStatements(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--"))) {
            text += line + QLatin1Char('\n');
        }
    }
    QStringList statements;
    for (const QString& statement : text.split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty()) {
            statements.append(statement.trimmed());
        }
    }
    return statements;
}

// A character set or collation name as the server gives it (it goes into statements as a name); the fallback
// where there is none.
QString NameOr(const QString& found, const QString& fallback) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_]+$"));
    return name.match(found).hasMatch() ? found : fallback;
}

}  // namespace

void AssemblyDbClass::ProbeProgramTables() {
    // One statement: the connection's id on the server, the collation of the serial numbers (which the production
    // codes share in every schema of the program), and which of the journal tables are there. Sent as the connection
    // is made (Send, not Run: a failure here fails the connecting, and is not connected again from inside it).
    QSqlQuery rows = Send(
        QStringLiteral("SELECT CONNECTION_ID(), TABLE_NAME, CHARACTER_SET_NAME, COLLATION_NAME "
                       "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND "
                       "((TABLE_NAME = 'device_serialnumber' AND COLUMN_NAME = 'SerialNumber') OR "
                       "(TABLE_NAME IN ('velkor_journal', 'velkor_journal_device') AND COLUMN_NAME = 'OperationID'))"),
        {});
    QString charset;
    QString collation;
    int journalTables = 0;
    while (rows.next()) {
        serverConnectionId_ = rows.value(0).toLongLong();
        if (rows.value(1).toString() == QLatin1String("device_serialnumber")) {
            charset = rows.value(2).toString();
            collation = rows.value(3).toString();
        } else {
            ++journalTables;
        }
    }
    identifierCharset_ = NameOr(charset, QStringLiteral("utf8mb4"));
    identifierCollation_ = NameOr(collation, QStringLiteral("utf8mb4_general_ci"));
    journalTables_ = journalTables == 2;
    if (!journalTables_) {
        CreateJournalTables();
    }
}

void AssemblyDbClass::CreateJournalTables() {
    try {
        for (const QString& statement : SchemaStatements(QStringLiteral(":/velkor/journal.sql"))) {
            Send(statement, {});
        }
        journalTables_ = true;
    } catch (const ProviderError& error) {
        if (error.IsConnectionLost()) {
            throw;
        }
        LogEvent(QStringLiteral("Die Tabellen velkor_journal und velkor_journal_device fehlen und können nicht "
                                "angelegt werden (%1); Vorgänge werden nicht ins Journal geschrieben. Bitte "
                                "db/journal.sql einspielen.")
                     .arg(error.Description()));
    }
}

AssemblyDbClass::JournalEntry::JournalEntry(AssemblyDbClass& db, const QString& operation, const QString& paNr,
                                            const QString& detail)
    : db_(db), outermost_(db.pending_.id.isEmpty()) {
    if (!outermost_) {
        return;
    }
    db_.pending_ = {QUuid::createUuid().toString(QUuid::WithoutBraces), operation, paNr, detail};
    db_.lastOperationId_ = db_.pending_.id;
}

AssemblyDbClass::JournalEntry::~JournalEntry() {
    if (outermost_) {
        db_.pending_ = {};
    }
}

void AssemblyDbClass::JournalEntry::SetDetail(const QString& detail) {
    if (outermost_) {
        db_.pending_.detail = detail;
    }
}

void AssemblyDbClass::NoteDeviceWritten(qint32 devId) {
    if (!levelDevices_.isEmpty() && devId > 0) {
        levelDevices_.last().insert(devId);
    }
}

void AssemblyDbClass::DropLevelDevices() {
    if (!levelDevices_.isEmpty()) {
        levelDevices_.removeLast();
    }
}

void AssemblyDbClass::NextOperationIdentity() {
    if (journalWritten_ && !pending_.id.isEmpty()) {
        pending_.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    }
    journalWritten_ = false;
}

void AssemblyDbClass::WriteJournal() {
    journalWritten_ = false;
    if (pending_.id.isEmpty() || !journalTables_) {
        return;
    }
    QSet<qint32> written;
    for (const QSet<qint32>& level : std::as_const(levelDevices_)) {
        written.unite(level);
    }
    if (written.isEmpty()) {
        return;
    }
    QList<qint32> devices(written.begin(), written.end());
    std::sort(devices.begin(), devices.end());
    for (const Statement& statement :
         JournalStatements(pending_.id, pending_.operation, pending_.paNr, pending_.detail, devices)) {
        Execute(statement.sql, statement.values);
    }
    journalWritten_ = true;
    lastOperationId_ = pending_.id;
}

QList<AssemblyDbClass::Statement> AssemblyDbClass::JournalStatements(const QString& id, const QString& operation,
                                                                     const QString& paNr, const QString& detail,
                                                                     const QList<qint32>& devices) {
    QList<Statement> statements{
        {QStringLiteral("INSERT INTO velkor_journal ( OperationID, Workstation, OsUser, ProductionOrderNumber, "
                        "Operation, Detail ) VALUES (?, ?, ?, ?, ?, ?);"),
         {id, QSysInfo::machineHostName().left(64), OperatingSystemUser().left(64), paNr.trimmed().left(32), operation,
          detail.left(255)}}};
    QStringList rows;
    QVariantList values;
    for (const qint32 devId : devices) {
        rows.append(QStringLiteral("(?, ?)"));
        values << devId << id;
    }
    statements.append({QStringLiteral("INSERT INTO velkor_journal_device ( DeviceID, OperationID ) VALUES %1;")
                           .arg(rows.join(QStringLiteral(", "))),
                       values});
    return statements;
}

void AssemblyDbClass::ResolveLostCommit(const ProviderError& error) {
    const QString id = pending_.id;
    const qint64 lostConnection = serverConnectionId_;
    const int lostHost = hostIndex_;
    // The transaction is over either way: kept by the server, or discarded with the connection.
    openTransactions_ = 0;
    transactionDiscarded_ = false;
    levelDevices_.clear();
    bool kept = false;
    try {
        Reopen();  // the list's next host first
        if (lostConnection != 0 && hostIndex_ == lostHost && serverConnectionId_ != lostConnection) {
            // The server may not have noticed yet that the old connection is gone: ended now, its transaction is
            // either committed or rolled back before the look-up below can read the row.
            try {
                Execute(QStringLiteral("KILL CONNECTION ?"), {lostConnection});
            } catch (const ProviderError& killError) {
                if (killError.IsConnectionLost()) {
                    throw;
                }
                // Gone already (unknown thread id).
            }
        }
        // A locking read waits for a transaction still holding the row, and never reads an uncommitted one.
        RecordSet rs;
        kept = GetDataWithQuery(QStringLiteral("SELECT OperationID FROM velkor_journal WHERE OperationID = ? "
                                               "LOCK IN SHARE MODE"),
                                rs, {id});
        RollbackOnCluster();
    } catch (const ProviderError& lookupError) {
        LogEvent(QStringLiteral("Antwort auf COMMIT verloren (%1); ob Vorgang %2 gespeichert wurde, ist nicht "
                                "feststellbar (%3)")
                     .arg(error.Description(), id, lookupError.Description()));
        throw ProviderError::CommitOutcomeUnknown(lookupError.Description());
    }
    LogEvent(QStringLiteral("Antwort auf COMMIT verloren (%1); Vorgang %2 %3")
                 .arg(error.Description(), id,
                      kept ? QStringLiteral("wurde gespeichert") : QStringLiteral("wurde nicht gespeichert")));
    if (!kept) {
        throw error;
    }
    Dialogs().MsgBox(
        QStringLiteral("Die Verbindung zur Datenbank war unterbrochen. Der Vorgang wurde trotzdem gespeichert."));
}
