#include "db/AssemblyDbClass.h"

#include <QAtomicInt>
#include <QSqlQuery>
#include <QSqlRecord>

#include "db/OdbcSource.h"
#include "db/ProviderError.h"
#include "shell/Misc.h"
#include "shell/Settings.h"
#include "shell/UserDialogs.h"

namespace {

QString NextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("AssemblyDb%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QAtomicInteger<quint64> statementsSent;
QAtomicInteger<quint64> certificationRetries;
std::function<void(const QString&, const QVariantList&)> statementObserver;
std::function<int(const QString&)> statementFault;

QVariant TrimmedValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && !value.isNull()) {
        return TrimBlanks(value.toString());
    }
    return value;
}

}  // namespace

AssemblyDbClass::AssemblyDbClass() : connectionName_(NextConnectionName()) {
    try {
        Open();
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("Class_Initialize"));
    }
}

AssemblyDbClass::~AssemblyDbClass() {
    if (openTransactions_ > 0) {
        // One COMMIT ends the outermost transaction with every level inside it.
        openTransactions_ = 0;
        try {
            Execute(QStringLiteral("COMMIT;"));
        } catch (const VelkorError&) {
            // The connection is going away; a commit that fails here cannot be repaired.
        }
        Dialogs().MsgBox(QStringLiteral(
            "Achtung eine oder mehrere Transaktionen wurden nicht gültig beendet. Bitte bei Herr Varlow (Brenvik) "
            "melden. Sie können trotzdem weiter Arbeiten. Danke !"));
    }
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

AssemblyDbClass& AssemblyDbClass::Shared() {
    // Lives until the process ends: the window ends the process at once, dropping the connection.
    static AssemblyDbClass* shared = new AssemblyDbClass();
    return *shared;
}

void AssemblyDbClass::Open() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    hosts_ = Settings::DatabaseHosts();
    if (!hosts_.isEmpty()) {
        ConnectToHosts(0);
        return;
    }
    db.setDatabaseName(odbc::ConnectOptions());
    Connect();
}

void AssemblyDbClass::Connect() {
    QSqlDatabase db = DBConObj();
    if (!db.open()) {
        throw ProviderError::FromSqlError(db.lastError());
    }
    // Read uncommitted, as every workstation sees the rows of the others at once; a row another workstation
    // holds is waited for a limited time, well within the connection's read timeout (see odbc::kLockWaitSeconds).
    Send(QStringLiteral("SET SESSION tx_isolation = 'READ-UNCOMMITTED', SESSION innodb_lock_wait_timeout = %1")
             .arg(odbc::kLockWaitSeconds),
         {});
    ProbeCluster();
    ProbeProgramTables();
}

void AssemblyDbClass::Reopen() {
    {
        QSqlDatabase db = DBConObj();
        db.close();
    }
    try {
        if (statementFault && statementFault(QLatin1String(kConnectAttempt)) != 0) {
            throw ProviderError(kProviderGeneralFailure, QStringLiteral("Can't connect (Test)"),
                                mariadb_error::kCannotConnectSocket);
        }
        if (hosts_.isEmpty()) {
            Connect();
        } else {
            // The host that was lost is tried last.
            ConnectToHosts(hostIndex_ + 1);
        }
    } catch (const ProviderError& error) {
        DBConObj().close();
        throw ProviderError(kProviderGeneralFailure,
                            QStringLiteral("Die Datenbank ist nicht erreichbar (%1)").arg(error.Description()),
                            error.NativeCode());
    }
}

bool AssemblyDbClass::IsConnected() const {
    return DBConObj().isOpen();
}

namespace {
int scansRunAgainOnDeadlock = 0;
}  // namespace

AssemblyDbClass::ScanRunsAgainOnDeadlock::ScanRunsAgainOnDeadlock() {
    ++scansRunAgainOnDeadlock;
}

AssemblyDbClass::ScanRunsAgainOnDeadlock::~ScanRunsAgainOnDeadlock() {
    --scansRunAgainOnDeadlock;
}

bool AssemblyDbClass::HoldsBackReport(const VelkorError& error) {
    const auto* provider = dynamic_cast<const ProviderError*>(&error);
    return scansRunAgainOnDeadlock > 0 && provider != nullptr && provider->NativeCode() == mariadb_error::kDeadlock;
}

void AssemblyDbClass::ReportError(const VelkorError& error, const QString& procedure) {
    if (HoldsBackReport(error)) {
        return;
    }
    Dialogs().MsgBox(QStringLiteral("Error %1 (%2) in procedure %3 of Klassenmodul AssemblyDbClass")
                         .arg(error.Number())
                         .arg(error.Description(), procedure));
}

void AssemblyDbClass::ChangeCounter(int delta) {
    const int next = openTransactions_ + delta;
    if (next > 32767 || next < -32768) {
        throw VelkorError(6, QStringLiteral("Overflow"));
    }
    openTransactions_ = static_cast<qint16>(next);
}

// Transactions nest: the outermost level is a database transaction, every level inside it a savepoint.
// (A second START TRANSACTION would silently commit everything before it.)
QString AssemblyDbClass::SavepointName(int level) {
    return QStringLiteral("velkor_level_%1").arg(level);
}

void AssemblyDbClass::Begin() {
    if (openTransactions_ >= 1) {
        Execute(QStringLiteral("SAVEPOINT %1;").arg(SavepointName(openTransactions_ + 1)));
    } else {
        Execute(QStringLiteral("START TRANSACTION;"));
        levelDevices_.clear();
        if (onCluster_) {
            // A savepoint of the outermost level that the commit asks for: a cluster may give the transaction up
            // without the next statements hearing of it (see Commit).
            Execute(QStringLiteral("SAVEPOINT %1;").arg(SavepointName(1)));
        }
    }
    ChangeCounter(+1);
    levelDevices_.append(QSet<qint32>());
}

void AssemblyDbClass::RequireOpenTransaction(const char* operation) const {
    // A level closed that was never opened means the nesting of the caller is broken: no statement is sent.
    if (openTransactions_ <= 0) {
        throw VelkorError(kAppErrorNumber, QStringLiteral("%1 ohne offene Transaktion").arg(QLatin1String(operation)));
    }
}

void AssemblyDbClass::Commit() {
    RequireOpenTransaction("Commit");
    if (openTransactions_ > 1) {
        Execute(QStringLiteral("RELEASE SAVEPOINT %1;").arg(SavepointName(openTransactions_)));
        if (levelDevices_.size() > 1) {
            const QSet<qint32> released = levelDevices_.takeLast();
            levelDevices_.last().unite(released);
        }
    } else {
        // Written before the cluster's check below: a transaction the cluster gave up takes the rows with it.
        WriteJournal();
        if (onCluster_) {
            // A transaction the cluster gave up (a brute-force abort by another node's write) was seen to be followed
            // by statements that heard nothing of it: they ran in a transaction of their own, which autocommit off
            // keeps open. The savepoint set at the start is gone then, and nothing of either may be kept.
            try {
                Execute(QStringLiteral("RELEASE SAVEPOINT %1;").arg(SavepointName(1)));
            } catch (const ProviderError& error) {
                if (error.IsConnectionLost()) {
                    throw;
                }
                transactionDiscarded_ = true;
                throw ProviderError::TransactionDiscarded();
            }
        }
        try {
            Execute(QStringLiteral("COMMIT;"));
        } catch (const ProviderError& error) {
            if (!error.IsConnectionLost()) {
                throw;
            }
            if (!journalWritten_) {
                // Without the journal nobody can tell whether the server kept it.
                throw ProviderError::CommitOutcomeUnknown(error.Description());
            }
            ResolveLostCommit(error);  // returns when the operation was kept
        }
        levelDevices_.clear();
        NextOperationIdentity();
        if (openTransactions_ == 0) {
            return;  // kept after a lost answer: the counter is down already
        }
    }
    ChangeCounter(-1);
}

void AssemblyDbClass::Rollback() {
    RequireOpenTransaction("Rollback");
    if (transactionDiscarded_) {
        // Nothing of the transaction is left on the server: only the levels are counted down. (On a cluster,
        // statements that ran on after the cluster gave it up may have left a transaction open: rolled back.)
        ChangeCounter(-1);
        DropLevelDevices();
        if (openTransactions_ == 0) {
            transactionDiscarded_ = false;
            RollbackOnCluster();
        }
        return;
    }
    if (openTransactions_ > 1) {
        const QString savepoint = SavepointName(openTransactions_);
        Execute(QStringLiteral("ROLLBACK TO SAVEPOINT %1;").arg(savepoint));
        Execute(QStringLiteral("RELEASE SAVEPOINT %1;").arg(savepoint));
    } else {
        Execute(QStringLiteral("ROLLBACK;"));
    }
    ChangeCounter(-1);
    DropLevelDevices();
}

void AssemblyDbClass::RollbackAll() {
    if (openTransactions_ <= 0) {
        return;
    }
    openTransactions_ = 0;
    levelDevices_.clear();
    if (transactionDiscarded_) {
        transactionDiscarded_ = false;
        RollbackOnCluster();
        return;
    }
    Execute(QStringLiteral("ROLLBACK;"));
}

void AssemblyDbClass::RollbackOnCluster() {
    if (onCluster_) {
        Execute(QStringLiteral("ROLLBACK;"));
    }
}

quint64 AssemblyDbClass::StatementsSent() {
    return statementsSent.loadRelaxed();
}

quint64 AssemblyDbClass::CertificationRetries() {
    return certificationRetries.loadRelaxed();
}

void AssemblyDbClass::NoteCertificationRetry() {
    certificationRetries.fetchAndAddRelaxed(1);
}

void AssemblyDbClass::SetStatementObserver(std::function<void(const QString&, const QVariantList&)> observer) {
    statementObserver = std::move(observer);
}

void AssemblyDbClass::SetStatementFault(std::function<int(const QString&)> fault) {
    statementFault = std::move(fault);
}

void AssemblyDbClass::InjectFault(const QString& sql) {
    const int code = statementFault ? statementFault(sql) : 0;
    if (code == 0) {
        return;
    }
    const ProviderError error(code >= 2000 ? kProviderGeneralFailure : kProviderRejectedStatement,
                              QStringLiteral("Fehler %1 beim Senden der Anweisung (Test)").arg(code), code);
    // What the server does along with the error: a deadlock victim's transaction is rolled back, a lost
    // connection takes its transaction with it.
    if (error.IsConnectionLost()) {
        DBConObj().close();
    } else if (error.DiscardsTransaction() && openTransactions_ > 0) {
        Send(QStringLiteral("ROLLBACK;"), {});
    }
    throw error;
}

QSqlQuery AssemblyDbClass::Run(const QString& sql, const QVariantList& values) {
    if (transactionDiscarded_) {
        throw ProviderError::TransactionDiscarded();
    }
    statementsSent.fetchAndAddRelaxed(1);
    if (statementObserver) {
        statementObserver(sql, values);
    }
    try {
        InjectFault(sql);
        QSqlQuery query = Send(sql, values);
        CommitOutsideTransaction(sql);
        return query;
    } catch (const ProviderError& raised) {
        const ProviderError error = OnUnreadyNode(raised);
        NoteFailure(error);
        if (openTransactions_ > 0 || !error.IsConnectionLost()) {
            throw error;
        }
    }
    // No transaction was open: nothing is lost but the connection, and the statement is sent once more.
    Reopen();
    QSqlQuery query = Send(sql, values);
    CommitOutsideTransaction(sql);
    return query;
}

void AssemblyDbClass::CommitOutsideTransaction(const QString& sql) {
    // On a cluster autocommit is off (see ProbeCluster): a change made outside a transaction is kept at once, as
    // on a single server.
    if (!onCluster_ || openTransactions_ > 0) {
        return;
    }
    const QString verb = sql.section(QLatin1Char(' '), 0, 0).toUpper();
    if (verb == QLatin1String("INSERT") || verb == QLatin1String("UPDATE") || verb == QLatin1String("DELETE") ||
        verb == QLatin1String("REPLACE")) {
        Send(QStringLiteral("COMMIT;"), {});
    }
}

void AssemblyDbClass::NoteFailure(const ProviderError& error) {
    if (error.IsConnectionLost()) {
        // The driver keeps a broken connection marked open: closed, the next statement opens a new one.
        DBConObj().close();
    }
    if (openTransactions_ > 0 && error.DiscardsTransaction()) {
        transactionDiscarded_ = true;
    }
}

QSqlQuery AssemblyDbClass::Send(const QString& sql, const QVariantList& values) {
    QSqlDatabase db = DBConObj();
    if (!db.isOpen()) {
        throw ProviderError::ConnectionClosed();
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Statements without values go unprepared: the transaction statements are not preparable everywhere.
    bool ok;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant& value : values) {
            query.addBindValue(odbc::BindableValue(value));
        }
        ok = ok && query.exec();
    }
    if (!ok) {
        throw ProviderError::FromSqlError(query.lastError());
    }
    return query;
}

void AssemblyDbClass::Execute(const QString& sql, const QVariantList& values) {
    Run(sql, values);
}

RecordSet AssemblyDbClass::Select(const QString& sql, const QVariantList& values) {
    QSqlQuery query = Run(sql, values);
    RecordSet rs;
    const QSqlRecord record = query.record();
    QStringList fields;
    for (int i = 0; i < record.count(); ++i) {
        fields.append(record.fieldName(i));
    }
    rs.Open(fields);
    while (query.next()) {
        QVariantList row;
        row.reserve(fields.size());
        for (int i = 0; i < fields.size(); ++i) {
            row.append(TrimmedValue(query.value(i)));
        }
        rs.AddRow(row);
    }
    if (query.lastError().isValid()) {
        // Rows are fetched after the statement has run: a transaction the server discards while they are read
        // (a deadlock victim, a cluster's transaction that must give way, a lost connection) counts as in Run.
        const ProviderError error = OnUnreadyNode(ProviderError::FromSqlError(query.lastError()));
        NoteFailure(error);
        throw error;
    }
    rs.MoveFirst();
    return rs;
}

QVariant AssemblyDbClass::SelectFirstValue(const QString& sql, const QVariantList& values, const QString& field) {
    const RecordSet rs = Select(sql, values);
    if (rs.Eof()) {
        return QVariant();
    }
    return rs.Field(field);
}

bool AssemblyDbClass::GetDataWithQuery(const QString& query, RecordSet& rs, const QVariantList& values) {
    rs = Select(query, values);
    return !rs.Eof();
}
