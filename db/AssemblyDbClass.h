#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "db/RecordSet.h"
#include "shell/VelkorError.h"

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
    void Begin();
    void Commit();
    void Rollback();
    qint16 OpenTransactionCount() const { return openTransactions_; }
    bool IsConnected() const;

    // Fills rs with the rows of the query; true when at least one row came back.
    bool GetDataWithQuery(const QString& query, RecordSet& rs, const QVariantList& values = {});
    QSqlDatabase DBConObj() const { return QSqlDatabase::database(connectionName_, false); }

    // Shows the generic error report of this class for the given procedure.
    static void ReportError(const VelkorError& error, const QString& procedure);

    // ---- ERP bill-of-materials and history queries -----------------------------------------------
    QString GetArtNrFromPaNrKHK(const QString& paNr);
    QString GetProdDescriptionFromArtNrKHK(const QString& artNr);

    // ---- Device identity records ------------------------------------------------------------------

    // ---- Assembly relation store ------------------------------------------------------------------

    // ---- Backfit and sub-assembly retrieval -------------------------------------------------------

protected:
    // Sends one statement; throws a provider error (VelkorError) when the database refuses it.
    void Execute(const QString& sql, const QVariantList& values = {});
    // Runs one query and returns all its rows.
    RecordSet Select(const QString& sql, const QVariantList& values = {});
    // The named field of the first row, trimmed when it is text; an invalid variant when no row came back.
    QVariant SelectFirstValue(const QString& sql, const QVariantList& values, const QString& field);

private:
    void Open();
    void ChangeCounter(int delta);

    QString connectionName_;
    qint16 openTransactions_ = 0;
};
