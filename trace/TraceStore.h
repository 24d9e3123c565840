#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "db/AssemblyDbClass.h"
#include "trace/OrderTypes.h"
#include "trace/RecallTypes.h"
#include "trace/TraceTypes.h"

// Read-only access to the traceability records for the quality department's queries.
// Opens the same data source as the workstation; the session is then made read-only on the server, so
// nothing sent through it can change a row. Every query is set-based: one statement answers a whole list
// of codes or devices, and the walks through the assembly table are recursive statements, never one
// statement per device.
class TraceStore : private AssemblyDbClass {
public:
    TraceStore();

    bool IsConnected() const { return AssemblyDbClass::IsConnected(); }
    // Why the connection could not be opened or made read-only; empty when it is usable.
    QString ConnectionError() const { return connectionError_; }

    // Every device that carries each code, in the order the codes are given; for one code the device the
    // workstation looks up first (a production code first, else the newest own or external serial number; of rows
    // of the same time, the one of the device created last), then the others. A code not recorded gives one match
    // that is not found.
    QList<CodeMatch> ResolveCodes(const QStringList& codes);

    // Every device above each of the given devices that is not (or no longer) built into anything, following
    // current and removed memberships: one Usage per way up, keyed by the device it starts from.
    // Chains that are built into themselves are not followed further but collected in cycles; the devices whose
    // way up runs into one are added to inCycle.
    QMultiHash<qint32, Usage> WalkUp(const QList<qint32>& devIds, QList<Cycle>& cycles,
                                     QSet<qint32>* inCycle = nullptr);

    // Everything built into the device, or built in and removed again, at any depth.
    GenealogyNode WalkDown(qint32 rootDevId, QList<Cycle>& cycles);

    // Article, identifiers, order, completeness, latest test result and journal of the devices.
    FactsByDevice Facts(const QList<qint32>& devIds);
    // The journal's entries of the devices (where the journal's tables are there), and which of them are a
    // conversion's placeholders.
    void AddJournal(const QList<qint32>& devIds, FactsByDevice& facts);

    // ---- The state of a production order (trace/OrderRows.cpp) ----
    // The order's row and bill-of-materials rows in the ERP copy (article and piece count, in the order the copy
    // holds them, as the workstation lays them out).
    struct OrderErpRows {
        bool orderRow = false;
        QString productCode;
        QString name;
        QList<QPair<QString, QVariant>> positions;
    };
    OrderErpRows ReadOrderErp(const QString& paNr);
    // The bill-of-materials figures of the articles, as the workstation reads them.
    QHash<QString, BillOfMatFigures> BillsOfMat(const QStringList& articles);
    // The devices with a row of the order: those built into nothing now (the final products), those built into
    // something, and those whose newest order row names another order (with that order), each by device ID.
    void OrderDevices(const QString& paNr, QList<qint32>& roots, QList<qint32>& builtIn,
                      QList<QPair<qint32, QString>>& moved);
    // The components built in now below every root, at any depth, walked for all roots at once, and the numbers
    // recorded on every device of them (the roots too).
    QHash<qint32, GenealogyNode> WalkDownCurrent(const QList<qint32>& roots, CountsByDevice& counts,
                                                 QList<Cycle>& cycles);
    // ---- Recalls (trace/RecallRows.cpp) ----
    // The devices that meet every criterion given, by device ID.
    QList<qint32> RecallComponents(const RecallCriteria& criteria);

    // Reads the column lengths through this session, for the checks of entered values.
    void ReadColumnLimits();

    // The database connection of this session (for checking that it is read-only).
    QSqlDatabase Connection() const { return DBConObj(); }

private:
    // One walk up, for at most a thousand devices.
    QMultiHash<qint32, Usage> WalkUpOnce(const QList<qint32>& devIds, QList<Cycle>& cycles, QSet<qint32>* inCycle);

    QString connectionError_;
};
