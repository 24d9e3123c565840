#include "tests/walk/WalkChecks.h"

#include <QHash>
#include <QSqlQuery>

#include "db/AssemblyDbClass.h"
#include "tests/support/TestDatabase.h"
#include "tests/walk/WalkWorker.h"
#include "tests/walk/WalkWorld.h"

namespace {

// The devices of the demo data end here; the database gives new ones higher numbers.
constexpr qint64 kLastDemoDevice = 9040;

QStringList TableRows(bool withCompletionFlag) {
    QStringList rows;
    for (const char* table : kTraceabilityTables) {
        const QString name = QLatin1String(table);
        rows.append(name);
        QString sql = QStringLiteral("SELECT * FROM ") + name;
        if (name == QLatin1String("device_assembly") && !withCompletionFlag) {
            sql = QStringLiteral(
                "SELECT ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder "
                "FROM device_assembly");
        }
        QStringList tableRows = QueryTestRows(sql);
        tableRows.sort();
        rows += tableRows;
    }
    return rows;
}

qint64 LastDevice() {
    return QueryTestValue(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM device")).toLongLong();
}

// The rows of one list the other lacks, for a short report.
QString Difference(const QStringList& before, const QStringList& after) {
    QStringList gone, added;
    for (const QString& row : before) {
        if (!after.contains(row)) {
            gone.append(row);
        }
    }
    for (const QString& row : after) {
        if (!before.contains(row)) {
            added.append(row);
        }
    }
    return QStringLiteral("added [%1] gone [%2]")
        .arg(added.join(QStringLiteral("; ")), gone.join(QStringLiteral("; ")));
}

void Add(QList<WalkFinding>& findings, const QString& name, const QStringList& rows, const QString& what) {
    if (!rows.isEmpty()) {
        findings.append({name, what + QStringLiteral(": ") + rows.join(QStringLiteral(", "))});
    }
}

}  // namespace

void WalkChecks::Restart() {
    deliberateDuplicates_.clear();
    deliberateCodeSerials_.clear();
}

void WalkChecks::Before() {
    rows_ = TableRows(true);
    rowsNoFlag_ = TableRows(false);
    lastDevice_ = LastDevice();
}

QList<WalkFinding> WalkChecks::After(WalkWorld& world, const WalkWorker& worker, bool askServer) {
    QList<WalkFinding> findings;
    CheckTransactions(findings, askServer);
    CheckTables(findings);
    CheckCodes(world, findings);
    CheckOutcome(world, worker, findings);
    Add(findings, QStringLiteral("statement-after-deadlock"), world.SentAfterDiscard(),
        QStringLiteral("sent after the server had rolled the transaction back, each on its own"));
    if (world.host.status != WorkstationHost::Ready()) {
        findings.append({QStringLiteral("status-not-ready"),
                         QStringLiteral("the status line reads \"%1\"").arg(world.host.status)});
    }
    if (!world.editors.Findings().isEmpty()) {
        findings.append({QStringLiteral("editor-differs"), world.editors.Findings().join(QStringLiteral("; "))});
    }
    return findings;
}

void WalkChecks::CheckTransactions(QList<WalkFinding>& findings, bool askServer) {
    AssemblyDbClass& db = AssemblyDbClass::Shared();
    const int counted = db.OpenTransactionCount();
    int onServer = 0;
    if (askServer && db.IsConnected()) {
        QSqlQuery query(db.DBConObj());
        if (query.exec(QStringLiteral("SELECT @@in_transaction")) && query.next()) {
            onServer = query.value(0).toInt();
        }
    }
    if (counted != 0 || onServer != 0) {
        findings.append(
            {QStringLiteral("transaction-open"),
             QStringLiteral("OpenTransactionCount() = %1, @@in_transaction = %2").arg(counted).arg(onServer)});
    }
}

void WalkChecks::CheckTables(QList<WalkFinding>& findings) {
    Add(findings, QStringLiteral("device-without-article"),
        QueryTestRows(QStringLiteral("SELECT d.ID FROM device d WHERE NOT EXISTS "
                                     "(SELECT 1 FROM device_productcode p WHERE p.DevID = d.ID) ORDER BY d.ID")),
        QStringLiteral("devices"));
    Add(findings, QStringLiteral("assembly-row-dangling"),
        QueryTestRows(QStringLiteral("SELECT CONCAT(r.ID, ' ', r.AssemblyType, ' ', r.AssemblyNum, '>', "
                                     "r.Device_Assembly) FROM device_assembly r "
                                     "WHERE r.AssemblyType <> ? AND (NOT EXISTS (SELECT 1 FROM device_assembly a WHERE "
                                     "a.AssemblyType = ? AND "
                                     "a.AssemblyNum = r.AssemblyNum) OR NOT EXISTS (SELECT 1 FROM device_assembly a "
                                     "WHERE a.AssemblyType = ? "
                                     "AND a.AssemblyNum = r.Device_Assembly)) ORDER BY r.ID"),
                      {QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A")}),
        QStringLiteral("membership or removed rows naming no assembly"));
    Add(findings, QStringLiteral("assembly-row-dangling"),
        QueryTestRows(QStringLiteral("SELECT CONCAT(a.ID, ' of device ', a.Device_Assembly) FROM device_assembly a "
                                     "WHERE a.AssemblyType = ? AND NOT EXISTS (SELECT 1 FROM device d WHERE "
                                     "d.ID = a.Device_Assembly) ORDER BY a.ID"),
                      {QStringLiteral("A")}),
        QStringLiteral("assembly numbers of no device"));
    Add(findings, QStringLiteral("member-of-two-assemblies"),
        QueryTestRows(
            QStringLiteral(
                "SELECT CONCAT(a.Device_Assembly, ' in ', GROUP_CONCAT(DISTINCT z.AssemblyNum ORDER BY z.AssemblyNum)) "
                "FROM device_assembly a JOIN device_assembly z ON z.Device_Assembly = a.AssemblyNum AND z.AssemblyType "
                "= ? "
                "WHERE a.AssemblyType = ? GROUP BY a.Device_Assembly HAVING COUNT(DISTINCT z.AssemblyNum) > 1"),
            {QStringLiteral("Z"), QStringLiteral("A")}),
        QStringLiteral("devices"));

    // Memberships as edges from a member's assembly number to its parent's: a walk upwards must end.
    QHash<qint64, QList<qint64>> parents;
    for (const QString& row : QueryTestRows(
             QStringLiteral("SELECT Device_Assembly, AssemblyNum FROM device_assembly WHERE AssemblyType = ?"),
             {QStringLiteral("Z")})) {
        parents[row.section(QLatin1Char('|'), 0, 0).toLongLong()].append(
            row.section(QLatin1Char('|'), 1, 1).toLongLong());
    }
    QHash<qint64, int> state;  // 1 on the path, 2 done
    QStringList cycles;
    std::function<bool(qint64, QList<qint64>&)> visit = [&](qint64 assNr, QList<qint64>& path) {
        if (state.value(assNr) == 2) {
            return false;
        }
        if (state.value(assNr) == 1) {
            path.append(assNr);
            return true;
        }
        state[assNr] = 1;
        path.append(assNr);
        for (qint64 parent : parents.value(assNr)) {
            if (visit(parent, path)) {
                return true;
            }
        }
        path.removeLast();
        state[assNr] = 2;
        return false;
    };
    for (auto it = parents.cbegin(); it != parents.cend() && cycles.isEmpty(); ++it) {
        QList<qint64> path;
        if (visit(it.key(), path)) {
            QStringList names;
            for (qint64 assNr : path) {
                names.append(QString::number(assNr));
            }
            cycles.append(names.join(QStringLiteral(" > ")));
        }
    }
    Add(findings, QStringLiteral("assembly-cycle"), cycles, QStringLiteral("assembly numbers"));

    Add(findings, QStringLiteral("order-unknown"),
        QueryTestRows(QStringLiteral("SELECT CONCAT(o.DeviceID, ' under \"', o.ProductionOrderNumber, '\"') FROM "
                                     "device_productionordernumber o "
                                     "WHERE o.DeviceID > ? AND NOT EXISTS (SELECT 1 FROM productionorder_khk k WHERE "
                                     "k.ProductionOrderNumber = o.ProductionOrderNumber) ORDER BY o.ID"),
                      {kLastDemoDevice}),
        QStringLiteral("final products recorded under an order the ERP does not know"));
}

void WalkChecks::CheckCodes(const WalkWorld& world, QList<WalkFinding>& findings) {
    QStringList twice;
    for (const QString& row : QueryTestRows(QStringLiteral(
             "SELECT ProductionCode, GROUP_CONCAT(DISTINCT DeviceID ORDER BY DeviceID) FROM device_productioncode "
             "GROUP BY ProductionCode HAVING COUNT(DISTINCT DeviceID) > 1"))) {
        const QString code = row.section(QLatin1Char('|'), 0, 0).trimmed().toUpper();
        if (deliberateDuplicates_.contains(code)) {
            continue;
        }
        // The duplicate operations: a conversion keeps the codes on the old device as well, and the record
        // editors write what the supervisor typed.
        bool deliberate = world.Converted();
        for (const QString& written : world.editors.WrittenProdCodes()) {
            deliberate = deliberate || written.toUpper() == code;
        }
        if (deliberate) {
            deliberateDuplicates_.insert(code);
        } else {
            twice.append(row.section(QLatin1Char('|'), 0, 0) + QStringLiteral(" on devices ") +
                         row.section(QLatin1Char('|'), 1));
        }
    }
    Add(findings, QStringLiteral("code-recorded-twice"), twice, QStringLiteral("production codes"));

    // A value names one device: recorded as a production code, it is no serial number of any device as well (by
    // the server's comparison of the columns: letter case and trailing blanks do not count).
    QStringList both;
    for (const QString& row : QueryTestRows(
             QStringLiteral("SELECT p.ProductionCode, p.DeviceID, s.DeviceID FROM device_productioncode p "
                            "JOIN device_serialnumber s ON s.SerialNumber = p.ProductionCode ORDER BY p.ID, s.ID"))) {
        const QString value = row.section(QLatin1Char('|'), 0, 0).trimmed().toUpper();
        if (deliberateCodeSerials_.contains(value)) {
            continue;
        }
        if (!world.editors.Steps().isEmpty()) {
            deliberateCodeSerials_.insert(value);  // the supervisor typed it
            continue;
        }
        both.append(QStringLiteral("%1 (code of device %2, serial number of device %3)")
                        .arg(row.section(QLatin1Char('|'), 0, 0), row.section(QLatin1Char('|'), 1, 1),
                             row.section(QLatin1Char('|'), 2, 2)));
    }
    Add(findings, QStringLiteral("code-also-serial"), both, QStringLiteral("values"));
}

void WalkChecks::CheckOutcome(const WalkWorld& world, const WalkWorker& worker, QList<WalkFinding>& findings) {
    // A refused action, and a scan the capture says it recorded nothing of (a question declined, a level of it
    // rolled back, a deadlock), leave the tables as they were.
    if (worker.Refused() || world.ScanUnrecorded()) {
        // Showing a device brings the completion flags of what it shows up to date: not a change of the action.
        const QStringList now = TableRows(!worker.ShowedDevice());
        const QStringList& before = worker.ShowedDevice() ? rowsNoFlag_ : rows_;
        if (now != before) {
            findings.append({worker.Refused() ? QStringLiteral("refusal-changed-records")
                                              : QStringLiteral("unrecorded-scan-changed-records"),
                             Difference(before, now)});
        }
    }
    if (worker.Refused() || worker.EndedInError()) {
        const QStringList created =
            QueryTestRows(QStringLiteral("SELECT ID FROM device WHERE ID > ? ORDER BY ID"), {lastDevice_});
        if (!created.isEmpty()) {
            findings.append({worker.EndedInError() ? QStringLiteral("device-created-on-error-ending")
                                                   : QStringLiteral("device-created-on-refusal"),
                             QStringLiteral("new devices ") + created.join(QStringLiteral(", "))});
        }
    }
}
