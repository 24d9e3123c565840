#include "trace/TraceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSqlError>

#include "trace/CycleList.h"
#include "trace/GenealogyTree.h"
#include "trace/TraceSql.h"

namespace {

QList<qint32> DeviceList(const QString& commaSeparated) {
    QList<qint32> devices;
    for (const QString& part : commaSeparated.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        devices.append(part.toInt());
    }
    return devices;
}

// Only memberships link assembly numbers: 'Z' built in, 'D0', 'D1', ... built in and removed again.
const char* const kMembership = "(m.AssemblyType = 'Z' OR m.AssemblyType LIKE 'D%')";

// A bound on the depth of the walks, far beyond any real product; it keeps the path texts within their size.
// The path texts are narrow (latin1, digits and commas) on purpose: with wide rows the server moves a large
// recursive result from memory to disk, and rows were seen to go missing on that way.
const int kMaxDepth = 80;

}  // namespace

QString trace_sql::JsonList(const QStringList& texts) {
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

QString trace_sql::JsonList(const QList<qint32>& numbers) {
    QJsonArray array;
    QSet<qint32> seen;
    for (qint32 number : numbers) {
        if (!seen.contains(number)) {
            seen.insert(number);
            array.append(number);
        }
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

using trace_sql::JsonList;
using trace_sql::kDeviceRows;

TraceStore::TraceStore() {
    if (!AssemblyDbClass::IsConnected()) {
        const QSqlError error = DBConObj().lastError();
        connectionError_ = error.isValid() ? error.text() : QStringLiteral("Verbindung ist geschlossen");
        return;
    }
    try {
        // From here on the server refuses every change through this session.
        Execute(QStringLiteral("SET SESSION TRANSACTION READ ONLY"));
        // Large genealogies travel as one text per product (see OrderRows.cpp); the default limit of such a text
        // is one megabyte.
        Execute(QStringLiteral("SET SESSION group_concat_max_len = 268435456"));
    } catch (const VelkorError& error) {
        connectionError_ = error.Description();
        DBConObj().close();
    }
}

QList<CodeMatch> TraceStore::ResolveCodes(const QStringList& codes) {
    // Every device a code names, the one the workstation finds first at the head: a production code before a
    // serial number, then the newest row (of rows of the same time, the device created last).
    QList<QList<CodeMatch>> byCode(codes.size());
    if (!codes.isEmpty()) {
        const RecordSet rs = Select(
            QStringLiteral("WITH codes AS (SELECT j.ord, j.code FROM JSON_TABLE(CONVERT(? USING utf8mb4), '$[*]' "
                           "COLUMNS (ord FOR ORDINALITY, code VARCHAR(255) PATH '$')) AS j), "
                           "hits AS (SELECT c.ord, p.DeviceID, 0 AS kind, p.CreationDate FROM codes c "
                           "JOIN device_productioncode p ON p.ProductionCode = c.code "
                           "UNION ALL SELECT c.ord, s.DeviceID, IF(s.ExtFlag = '1', 2, 1), s.CreationDate FROM codes c "
                           "JOIN device_serialnumber s ON s.SerialNumber = c.code), "
                           "ranked AS (SELECT ord, DeviceID, kind, ROW_NUMBER() OVER (PARTITION BY ord, DeviceID "
                           "ORDER BY kind = 0 DESC, CreationDate DESC, kind DESC) AS rn, CreationDate FROM hits) "
                           "SELECT ord, DeviceID, kind FROM ranked WHERE rn = 1 "
                           "ORDER BY ord, kind = 0 DESC, CreationDate DESC, DeviceID DESC, kind DESC"),
            {JsonList(codes)});
        for (RecordSet row = rs; !row.Eof(); row.MoveNext()) {
            const int index = row.Field(0).toInt() - 1;
            if (index < 0 || index >= codes.size()) {
                continue;
            }
            const int kind = row.Field(2).toInt();
            byCode[index].append(CodeMatch{codes.at(index),
                                           row.Field(1).toInt(),
                                           kind == 0   ? MatchKind::ProductionCode
                                           : kind == 1 ? MatchKind::SerialNumber
                                                       : MatchKind::ExternalSerialNumber,
                                           {}});
        }
    }
    QList<CodeMatch> matches;
    for (int index = 0; index < codes.size(); ++index) {
        QList<CodeMatch>& found = byCode[index];
        if (found.isEmpty()) {
            matches.append(CodeMatch{codes.at(index), 0, MatchKind::None, {}});
            continue;
        }
        QList<qint32> named;
        for (const CodeMatch& match : found) {
            named.append(match.devId);
        }
        for (CodeMatch& match : found) {
            match.named = named;
            matches.append(match);
        }
    }
    return matches;
}

QMultiHash<qint32, Usage> TraceStore::WalkUp(const QList<qint32>& devIds, QList<Cycle>& cycles, QSet<qint32>* inCycle) {
    // The path texts of a walk are wide rows: a walk of many thousand devices at once would outgrow the server's
    // memory table and move to disk, where rows were seen to go missing. A thousand devices a walk stay in memory.
    const int kDevicesPerWalk = 1000;
    if (devIds.size() <= kDevicesPerWalk) {
        return WalkUpOnce(devIds, cycles, inCycle);
    }
    QMultiHash<qint32, Usage> usages;
    for (int first = 0; first < devIds.size(); first += kDevicesPerWalk) {
        usages.unite(WalkUpOnce(devIds.mid(first, kDevicesPerWalk), cycles, inCycle));
    }
    return usages;
}

QMultiHash<qint32, Usage> TraceStore::WalkUpOnce(const QList<qint32>& devIds, QList<Cycle>& cycles,
                                                 QSet<qint32>* inCycle) {
    QMultiHash<qint32, Usage> usages;
    if (devIds.isEmpty()) {
        return usages;
    }
    // devs and links grow upwards: the topmost device comes first. A row ends a way up when its device is no
    // current member of anything; it is a cycle when its device is already on the way.
    const RecordSet rs = Select(
        QStringLiteral(
            "WITH RECURSIVE up (start_dev, assnr, devs, links, depth, cyc) AS ("
            "SELECT ids.dev, a.AssemblyNum, CAST(ids.dev AS CHAR(1000) CHARACTER SET latin1), CAST('' AS CHAR(1000) "
            "CHARACTER SET latin1), 0, 0 "
            "FROM %1 JOIN device_assembly a ON a.Device_Assembly = ids.dev AND a.AssemblyType = 'A' "
            "UNION ALL "
            "SELECT u.start_dev, m.AssemblyNum, CONCAT(p.Device_Assembly, ',', u.devs), "
            "CONCAT(m.AssemblyType, ',', u.links), u.depth + 1, FIND_IN_SET(p.Device_Assembly, u.devs) > 0 "
            "FROM up u JOIN device_assembly m ON m.Device_Assembly = u.assnr AND %2 "
            "JOIN device_assembly p ON p.AssemblyNum = m.AssemblyNum AND p.AssemblyType = 'A' "
            "WHERE u.cyc = 0 AND u.depth < %3) "
            "SELECT u.start_dev, u.devs, u.links, u.cyc FROM up u WHERE u.depth > 0 AND (u.cyc = 1 OR NOT EXISTS "
            "(SELECT 1 FROM device_assembly z WHERE z.Device_Assembly = u.assnr AND z.AssemblyType = 'Z'))")
            .arg(QLatin1String(kDeviceRows), QLatin1String(kMembership))
            .arg(kMaxDepth),
        {JsonList(devIds)});
    for (RecordSet row = rs; !row.Eof(); row.MoveNext()) {
        const QList<qint32> devices = DeviceList(row.Field(1).toString());
        if (row.Field(3).toInt() != 0) {
            AddCycle(cycles, CycleFromTop(devices));
            if (inCycle != nullptr) {
                inCycle->insert(row.Field(0).toInt());
            }
            continue;
        }
        Usage usage;
        usage.path = devices;
        usage.links = row.Field(2).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        usages.insert(row.Field(0).toInt(), usage);
    }
    // Every device that is or was a member of something must have come back with a way up: a recall list
    // must never lose a finished product without saying so. (A cycle is reported on its own.)
    if (cycles.isEmpty()) {
        const RecordSet members = Select(QStringLiteral("SELECT DISTINCT ids.dev FROM %1 JOIN device_assembly a ON "
                                                        "a.Device_Assembly = ids.dev AND a.AssemblyType = 'A' JOIN "
                                                        "device_assembly m ON m.Device_Assembly = a.AssemblyNum AND %2")
                                             .arg(QLatin1String(kDeviceRows), QLatin1String(kMembership)),
                                         {JsonList(devIds)});
        for (RecordSet row = members; !row.Eof(); row.MoveNext()) {
            if (!usages.contains(row.Field(0).toInt())) {
                throw VelkorError(kAppErrorNumber,
                                  QStringLiteral("Die Datenbank lieferte für Gerät %1 keinen Weg zum Endprodukt; das "
                                                 "Ergebnis wäre unvollständig.")
                                      .arg(row.Field(0).toInt()));
            }
        }
    }
    return usages;
}

GenealogyNode TraceStore::WalkDown(qint32 rootDevId, QList<Cycle>& cycles) {
    // nodekey is the chain of membership row IDs from the root, so that a device listed twice below the same
    // parent (removed, then built in again) gives two nodes; devs grows downwards for the cycle check.
    const RecordSet rs =
        Select(QStringLiteral(
                   "WITH RECURSIVE down (assnr, dev, link, nodekey, devs, depth, cyc) AS ("
                   "SELECT a.AssemblyNum, a.Device_Assembly, CAST('' AS CHAR(10)), CAST('' AS CHAR(1000) CHARACTER SET "
                   "latin1), "
                   "CAST(a.Device_Assembly AS CHAR(1000) CHARACTER SET latin1), 0, 0 "
                   "FROM device_assembly a WHERE a.Device_Assembly = ? AND a.AssemblyType = 'A' "
                   "UNION ALL "
                   "SELECT c.AssemblyNum, c.Device_Assembly, m.AssemblyType, CONCAT(d.nodekey, '/', m.ID), "
                   "CONCAT(d.devs, ',', c.Device_Assembly), d.depth + 1, FIND_IN_SET(c.Device_Assembly, d.devs) > 0 "
                   "FROM down d JOIN device_assembly m ON m.AssemblyNum = d.assnr AND %1 "
                   "JOIN device_assembly c ON c.AssemblyNum = m.Device_Assembly AND c.AssemblyType = 'A' "
                   "WHERE d.cyc = 0 AND d.depth < %2) "
                   "SELECT dev, link, nodekey, devs, cyc FROM down WHERE depth > 0")
                   .arg(QLatin1String(kMembership))
                   .arg(kMaxDepth),
               {rootDevId});
    NodeRows rows;
    for (RecordSet row = rs; !row.Eof(); row.MoveNext()) {
        if (row.Field(4).toInt() != 0) {
            AddCycle(cycles, CycleFromBottom(DeviceList(row.Field(3).toString())));
            continue;
        }
        rows.append(NodeRow{row.Field(2).toString(), row.Field(0).toInt(), row.Field(1).toString()});
    }
    return BuildTree(rootDevId, rows);
}
