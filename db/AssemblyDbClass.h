#pragma once

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>

#include "db/RecordSet.h"
#include "shell/VelkorError.h"

class ProviderError;

// The one class through which every statement reaches the traceability database.
// An instance owns one connection to the ODBC data source TestLogNew and the open-transaction counter.
// Every value goes into a statement as a bound parameter; every text read back is trimmed of blanks.
class AssemblyDbClass {
public:
    // Opens the connection; a failure is reported (procedure Class_Initialize) and leaves the
    // instance with a closed connection, on which every later operation fails.
    AssemblyDbClass();
    // Commits transactions left open (with a warning to the worker), then closes the connection.
    ~AssemblyDbClass();
    AssemblyDbClass(const AssemblyDbClass&) = delete;
    AssemblyDbClass& operator=(const AssemblyDbClass&) = delete;

    // The instance shared by the whole process, created on first use and never destroyed.
    static AssemblyDbClass& Shared();

    // ---- Session and transactions -------------------------------------------------------------
    // Transactions nest: inside an open transaction Begin sets a savepoint, and the matching Commit or
    // Rollback releases it or returns to it; only the outermost level commits or rolls back.
    void Begin();
    void Commit();
    void Rollback();
    // Rolls back every open level at once (nothing when none is open).
    void RollbackAll();
    qint16 OpenTransactionCount() const { return openTransactions_; }
    bool IsConnected() const;

    // ---- Servers and clusters ---------------------------------------------------------------------
    // With a host list set (Settings::DatabaseHosts) the connection goes to the first host of the list that
    // answers, and after a lost connection outside a transaction to the next one that answers; the event log
    // names every change of host. Without a list, the data source's own server.
    // The host of the connection ("host[:port]" of the list); empty without a host list.
    QString CurrentHost() const;
    // The server is a node of a Galera cluster (wsrep_on), asked once per connection. A cluster certifies
    // conflicting transactions of different nodes only at commit, refusing the later one with 1213.
    bool OnCluster() const { return onCluster_; }
    // On a cluster: the claim table velkor_claim is there (found or created on connecting). Without it two
    // workstations on different nodes are not kept apart; the window says so at its start.
    bool HasClaimTable() const;

    // ---- Guards of check-then-write ----------------------------------------------------------------
    // Inside the open transaction, before a recorded device is checked and written (placed, taken over, moved,
    // converted, removed, corrected): of two workstations on the same device the second waits until the first's
    // transaction has ended and then reads what it left; on a cluster, of two on different nodes the later commit
    // is refused (and a scan runs again). Held until the transaction ends. False when the device is not recorded
    // (any more): one read before the guard may have been another workstation's row that was then rolled back.
    bool GuardDevice(qint32 devId);
    // The SQL expression of a value's guard key, with one parameter (the value): the server's own comparison of
    // the identifier columns (their collation: letter case, trailing blanks), so that two values the existence
    // checks treat as one always share their guard. Codes and serial numbers share one set of keys.
    QString ValueKeyExpression() const;
    // On a cluster with the claim table: the value's claim row (key ValueKeyExpression), written and removed again
    // in the open transaction; false (nothing sent) without the table.
    bool ClaimValueKey(const QString& value);

    // ---- Journal of kept operations -----------------------------------------------------------------------
    // While an entry lives, the commit of the outermost transaction writes the operation's journal row (with every
    // device the transaction wrote) just before COMMIT, so the row is kept exactly when the operation is. When the
    // answer to that COMMIT is lost, the commit connects again and looks the identity up: found, the operation was
    // kept, the worker is told so in one line and the commit returns as answered; not found, the lost connection is
    // raised as before; when that cannot be found out, an error that says so. Entries nest: the outermost one names
    // the operation (a drop's scan-in is part of the drop).
    class JournalEntry {
    public:
        JournalEntry(AssemblyDbClass& db, const QString& operation, const QString& paNr, const QString& detail = {});
        ~JournalEntry();
        // What the operation did, known only on its way (a correction's old and new values); before the commit.
        void SetDetail(const QString& detail);
        JournalEntry(const JournalEntry&) = delete;
        JournalEntry& operator=(const JournalEntry&) = delete;

    private:
        AssemblyDbClass& db_;
        bool outermost_;
    };
    // The identity of the most recent operation begun on this connection; empty before the first.
    QString LastOperationId() const { return lastOperationId_; }
    // The journal tables are there (found or created on connecting).
    bool HasJournal() const { return journalTables_; }
    // Notes a device written by the open transaction, for its journal row.
    void NoteDeviceWritten(qint32 devId);
    // The two statements (text, values) of one journal row and its devices, for a connection of its own (the record
    // editors) as for this one.
    struct Statement {
        QString sql;
        QVariantList values;
    };
    static QList<Statement> JournalStatements(const QString& id, const QString& operation, const QString& paNr,
                                              const QString& detail, const QList<qint32>& devices);
    // The statements of GuardDevice, for a connection of its own (the record editors): the row lock first (its row
    // comes back when the device is recorded), on a cluster with a claim table the claim row after it.
    QList<Statement> DeviceGuardStatements(qint32 devId) const;

    // Fills rs with the rows of the query; true when at least one row came back.
    bool GetDataWithQuery(const QString& query, RecordSet& rs, const QVariantList& values = {});
    QSqlDatabase DBConObj() const { return QSqlDatabase::database(connectionName_, false); }

    // Shows the generic error report of this class for the given procedure.
    static void ReportError(const VelkorError& error, const QString& procedure);
    // While one lives, the error reports hold back a deadlock: the scan that meets it runs once more from its start
    // (a commit a Galera cluster refused), so the worker is not told of it.
    class ScanRunsAgainOnDeadlock {
    public:
        ScanRunsAgainOnDeadlock();
        ~ScanRunsAgainOnDeadlock();
        ScanRunsAgainOnDeadlock(const ScanRunsAgainOnDeadlock&) = delete;
        ScanRunsAgainOnDeadlock& operator=(const ScanRunsAgainOnDeadlock&) = delete;
    };
    // True when the error is not to be reported to the worker (see ScanRunsAgainOnDeadlock).
    static bool HoldsBackReport(const VelkorError& error);

    // ---- Statement count ----------------------------------------------------------------------------
    // Statements sent to the server by every instance since the process started (all go through Run).
    static quint64 StatementsSent();
    // Scans run again from their start after a commit that the cluster refused (certification failure), by
    // every workstation of the process since it started.
    static quint64 CertificationRetries();
    static void NoteCertificationRetry();
    // Called with the text and the values of every statement before it is sent; an empty function stops it.
    static void SetStatementObserver(std::function<void(const QString&, const QVariantList&)> observer);
    // Test seam: asked with the text of every statement before it is sent; a non-zero answer is a server error
    // number, and the statement fails with it as if the server had refused it (for a deadlock, 1213, the
    // server's rollback of the whole transaction happens too). Before a lost connection is opened again it is
    // asked with kConnectAttempt: a non-zero answer keeps the server unreachable. An empty function stops it.
    static void SetStatementFault(std::function<int(const QString&)> fault);
    static constexpr const char* kConnectAttempt = "-- connect";

    // ---- One operation --------------------------------------------------------------------------------
    // While a scope lives (one scan, one order laid out, one device shown), the answers of the ERP copy
    // tables are kept by this instance and given again without a statement. The end of the outermost scope
    // forgets them, so the next operation sees a change in the ERP copy. Scopes nest.
    class OperationScope {
    public:
        explicit OperationScope(AssemblyDbClass& db) : db_(db) { ++db_.operationDepth_; }
        ~OperationScope() {
            if (--db_.operationDepth_ == 0) {
                db_.erpAnswers_.clear();
            }
        }
        OperationScope(const OperationScope&) = delete;
        OperationScope& operator=(const OperationScope&) = delete;

    private:
        AssemblyDbClass& db_;
    };

    // ---- ERP bill-of-materials and history queries -----------------------------------------------
    QString GetArtNrFromPaNrKHK(const QString& paNr);
    QString GetProdDescriptionFromArtNrKHK(const QString& artNr);
    // Bill-of-materials figures of an article: the test requirement and the own serial count come from
    // the variant with the highest Variation, the production code and external serial counts from the
    // lowest. False / 0 when the article has no row.
    bool GetTestReqiredFromBillOfMat(const QString& artNr);
    qint16 GetSerNrCountFromBillOfMat(const QString& artNr);
    qint16 GetProdCodeCountFromBillOfMat(const QString& artNr);
    qint16 GetExtSerCountFromBillOfMat(const QString& artNr);
    // Inside an operation: reads the figures of every listed article not read yet by one statement, so that the
    // questions above are answered without one. Outside an operation it does nothing.
    void ReadBillsOfMat(const QStringList& artNrs);
    // The order (its last 6 characters) under which the ERP converted serNr from artNrFrom to artNrTo;
    // empty when there is no such conversion.
    QString GetSerNrBackfitHistoryPaKHK(const QString& serNr, const QString& artNrFrom, const QString& artNrTo);
    bool IsSerNrBackfitHistoryInKHK(const QString& serNr, const QString& artNrFrom, const QString& artNrTo);

    // ---- Device identity records ------------------------------------------------------------------
    // A new device record; its device ID.
    QVariant CreateDevice();
    // True when the production code is recorded for any device.
    bool CheckProdCode(const QVariant& prodCode);
    // True when the serial number is recorded (own or external) for any device.
    bool CheckSerNr(const QString& serNr);
    // A value of both formats is one identifier: true when the value, about to be recorded as a production code
    // (asCode) or as a serial number, is recorded as the other already.
    bool RecordedAsOtherKind(const QString& value, bool asCode);

    // Records an own serial number (trimmed, also in the caller's variable); 1 when written, 0 when the
    // serial number is already recorded or the database refused it.
    qint16 InsertSerNrWithDevID(QString& serNr, qint32 devId);
    // Records an external serial number as given; 1 when written, 0 when already recorded or refused.
    qint16 InsertExtSerNrWithDevID(const QString& serNr, qint32 devId);
    // Copy a serial number to another device without checking; always 0.
    qint16 InsertDuplicateSerNrWithDevID(const QString& serNr, qint32 devId);
    qint16 InsertExtDuplicateSerNrWithDevID(const QString& serNr, qint32 devId);
    // Records a scanned production code, refusing (with a message) a code already recorded; true when written.
    bool InsertProdCodeWithDevID(const QString& prodCode, qint32 devId);
    // Copies a production code (trimmed) to a device without checking; false when the database refused it.
    bool InsertDuplicateProdCodeWithDevID(const QString& prodCode, qint32 devId);
    // Records a production order of the device; an order already recorded for it is left alone.
    void InsertPaNrWithDevID(const QString& paNr, qint32 devId);
    // Records the article number (trimmed, also in the caller's variable); a suffix of 0 or none is not written.
    void InsertArtNrWithDevID(QString& artNr, qint32 devId, const QVariant& suffix = QVariant());
    // Gives every article-number row of the device the new article number; the suffix is not written.
    void UpdateArtNrWithDevID(const QString& artNr, qint32 devId, const QVariant& suffix = QVariant());

    // Newest own / external serial number, newest production order; empty text when none.
    QString GetSerNrFromDeviceID(qint32 devId);
    QString GetExtSerNrFromDeviceID(qint32 devId);
    QString GetPaWithDevID(qint32 devId);
    // Newest article number of the device (empty when none or when devId is empty); a suffix recorded
    // with it is stored into suffix, otherwise suffix keeps its value.
    QVariant GetArtNrFromDevID(const QVariant& devId, QVariant& suffix);
    QVariant GetArtNrFromDevID(const QVariant& devId);
    // The production order of the device's own assembly number; -1 when it has none.
    qint32 GetMasterProdOrderFromDeviceID(qint32 devId);

    qint16 GetNumberOfProdctionCodesFromDevID(qint32 devId);
    qint16 GetNumberOfSerialsFromDevID(qint32 devId);
    qint16 GetNumberOfExtSerFromDevID(qint32 devId);

    // The device of the newest row carrying the production code (when it has that format), or else the serial
    // number (own or external, compared as the server compares them); empty when nothing is found.
    QVariant GetDevIdFromProdCodeOrSerNr(const QString& prodCode, const QString& serNr);
    // True when the newest row of the serial number marks it as an external serial number.
    bool IsSerNrExtSer(const QString& serNr);

    // ---- Assembly relation store ------------------------------------------------------------------
    // Gives the device a new own assembly number (the key of its own row); the number.
    QVariant CreateAssNrFromDivID(qint32 devId, qint32 masterProdOrder);
    // The device's own assembly number (the oldest when it has two); empty when none.
    QVariant GetAssemblyfromDevID(qint32 devId);
    // The device that owns the assembly number; empty when none or assNr is 0.
    QVariant GetDevIdFromAssNr(qint32 assNr);
    // The parent assembly of a member; empty when assNr is no member.
    QVariant GetPrevAssembly(qint32 assNr);
    // The first member of an assembly; empty when it has none.
    QVariant GetNextAssembly(qint32 assNr);
    // Walks up to the assembly that is no member of anything; leaves it in assNr and returns it.
    // A cycle in the assembly table raises an error instead of walking for ever.
    QVariant FindRootAssembly(qint32& assNr);
    // Records the membership of childAssNr in parentAssNr once.
    void AddChildToParentAssembly(qint32 childAssNr, qint32 parentAssNr);
    // Removes the membership of the member assNr, keeping it as history ('D0', 'D1', ...).
    void DeleteAssemblyWithDevID(qint32 assNr);
    // Hands the own assembly number of oldDevId (with all its members) over to newDevId.
    void UpdateDevIDinAssembly(qint32 oldDevId, qint32 newDevId, qint32 masterProdOrder);
    // Completeness flag of the device's own assembly row.
    void SetOKFlagInAssembly(qint32 devId, bool flag);
    bool GetOKFlagInAssembly(qint32 devId);
    // True when every item of the device's newest test run passed.
    bool IsDeviceTested(qint32 devId);

    // ---- Backfit and sub-assembly retrieval -------------------------------------------------------
    // Converts a recorded device into a new device of article newArtNr under order paNr, all or nothing;
    // the new device ID. Refused (raised) while the device is built into another assembly.
    qint32 BackfitDevice(qint32 oldDevId, const QString& newArtNr, const QString& paNr);
    // Appends to rs (fields ArtNr, SerNr, ProdCode; opened when closed) one row per production code of the
    // device and of every device below it, depth first; a device without code gives one row without code.
    bool GetSubAssemblysRsFromDeviceID(qint32 devId, RecordSet& rs);
    // The number of production codes of the device and of everything built into it.
    qint16 GetNrOfProdCodesOfAssembly(qint32 devId);
    // A production code of the device; empty when none or devId is empty.
    QVariant GetProdCodeWithDevID(const QVariant& devId);
    // The x-th production code of the device, newest first, counted from 1; empty text when none.
    QString GetProdCodeXWithDevId(const QVariant& devId, const QVariant& x);

protected:
    // Sends one statement; throws a provider error (VelkorError) when the database refuses it.
    void Execute(const QString& sql, const QVariantList& values = {});
    // Runs one query and returns all its rows.
    // (Both go through Run, which sends one statement with its bound values on this connection.)
    RecordSet Select(const QString& sql, const QVariantList& values = {});
    // The named field of the first row, trimmed when it is text; an invalid variant when no row came back.
    QVariant SelectFirstValue(const QString& sql, const QVariantList& values, const QString& field);

private:
    // Sends a statement. Outside a transaction a lost connection is opened again and the statement sent
    // once more; inside one the transaction is gone with the connection, and the error ends the operation.
    QSqlQuery Run(const QString& sql, const QVariantList& values);
    QSqlQuery Send(const QString& sql, const QVariantList& values);
    // What a failed statement leaves behind: a lost connection is closed, a transaction the server has discarded
    // is marked so (nothing of the operation may run on in autocommit).
    void NoteFailure(const ProviderError& error);
    void Open();
    void Connect();
    // After connecting: the server's connection id, the collation of the identifier columns, and the program's
    // journal tables (created where the account may).
    void ProbeProgramTables();
    void CreateJournalTables();
    // The claim row of the key (an SQL expression of one parameter, the value), written and removed again.
    void Claim(const QString& keyExpression, const QVariant& value);
    static QList<Statement> ClaimStatements(const QString& keyExpression, const QVariant& value);
    // The journal rows of the pending entry, inside the outermost transaction; nothing when it wrote no device.
    void WriteJournal();
    // The answer to COMMIT was lost (error): finds out on a new connection whether the operation was kept.
    void ResolveLostCommit(const ProviderError& error);
    // After a kept transaction with a journal row: a later transaction of the same entry gets an identity of its own.
    void NextOperationIdentity();
    // The devices of the innermost level are gone with its rollback.
    void DropLevelDevices();
    // Connects to the hosts of the list from first on, wrapping round; the first that answers is kept.
    void ConnectToHosts(int first);
    // After the connection's settings: asks whether the server is a cluster node (and a ready one), and on a
    // cluster makes sure of the claim table.
    void ProbeCluster();
    // On a cluster, after a failed statement: a node that is no longer ready (cut off from the cluster's primary
    // component) is left like a lost connection; the error returned then says so and counts as one. Otherwise the
    // error as it is.
    ProviderError OnUnreadyNode(const ProviderError& error);
    bool NodeIsReady();
    // Closes the broken connection and opens it again; a failure raises a provider error.
    void Reopen();
    // Statement k of a fault-injection run fails here as the server would have failed it.
    void InjectFault(const QString& sql);
    void ChangeCounter(int delta);
    // Raises when no level is open: Commit and Rollback never take the counter below 0.
    void RequireOpenTransaction(const char* operation) const;
    // On a cluster: keeps a change made outside a transaction; rolls back what statements after a discarded
    // transaction may have left open.
    void CommitOutsideTransaction(const QString& sql);
    void RollbackOnCluster();
    static QString SavepointName(int level);

    // Writes of the traceability store that raise every database error; the public operations wrap them
    // with their own error handling, BackfitDevice uses them as they are.
    void WriteSerNr(const QString& serNr, qint32 devId, const QString& extFlag);
    void WriteProdCode(const QString& prodCode, qint32 devId);
    void WritePaNr(const QString& paNr, qint32 devId);
    void WriteOKFlag(qint32 devId, bool flag);
    // The newest serial number and the number of serial numbers of the device with that ExtFlag ('0' own,
    // '1' external).
    QString NewestSerNrWithFlag(qint32 devId, const QString& extFlag);
    qint16 SerNrCountWithFlag(qint32 devId, const QString& extFlag);
    // The auto-increment key the last insert on this connection assigned; 0 when none.
    qint32 LastInsertId();
    // One level of GetSubAssemblysRsFromDeviceID; path holds the devices above, listed those already listed.
    void AppendSubAssemblys(qint32 devId, RecordSet& rs, QSet<qint32>& path, QSet<qint32>& listed);

    // SelectFirstValue on an ERP copy table, answered from the operation's answers when a scope is open.
    QVariant ErpFirstValue(const QString& sql, const QVariantList& values, const QString& field);
    // One figure of an article's bill of materials ("TestRequired", "SerialNumberCount", "ProductionCodeCount",
    // "ExtSerialNumberCount"); inside an operation the four figures are read together by ReadBillsOfMat, the first
    // time one of them is asked for.
    QVariant BillOfMatFigure(const QString& artNr, const char* figure);

    QString connectionName_;
    QStringList hosts_;
    int hostIndex_ = -1;  // the host of the list the connection went to; -1 before the first
    bool onCluster_ = false;
    bool claimTable_ = false;
    qint16 openTransactions_ = 0;
    // The server has discarded the open transaction (deadlock victim, lost connection): every statement but
    // the rollback of the caller's error ending is refused, so nothing of the operation runs on in autocommit.
    bool transactionDiscarded_ = false;
    int operationDepth_ = 0;
    qint64 serverConnectionId_ = 0;
    QString identifierCharset_ = QStringLiteral("utf8mb4");
    QString identifierCollation_ = QStringLiteral("utf8mb4_general_ci");
    bool journalTables_ = false;
    // The operation of the outermost journal entry, while it lives.
    struct PendingOperation {
        QString id;
        QString operation;
        QString paNr;
        QString detail;
    };
    PendingOperation pending_;
    bool journalWritten_ = false;
    QString lastOperationId_;
    // The devices written by each open transaction level (a level rolled back takes its own with it).
    QList<QSet<qint32>> levelDevices_;
    QHash<QString, QVariant> erpAnswers_;
};
