#include "tree/DeviceRecords.h"

#include <QStringList>
#include <algorithm>

#include "db/AssemblyDbClass.h"
#include "db/ReadValues.h"
#include "db/RecordSet.h"
#include "shell/VelkorError.h"

namespace {

// Devices per statement: the list of bound values stays well below what a statement can carry.
constexpr qsizetype kDevicesPerStatement = 500;

QString Placeholders(qsizetype count) {
    QStringList marks;
    marks.fill(QStringLiteral("?"), count);
    return marks.join(QStringLiteral(", "));
}

// Every device reachable from the anchor through its own rows, their members and the members' own rows; then
// the own rows of all of them and the memberships in their assembly numbers.
const char* const kSubtreeRows =
    "WITH RECURSIVE walk (DevID) AS ("
    " SELECT CAST(? AS SIGNED)"
    " UNION"
    " SELECT member_own.Device_Assembly FROM walk"
    " JOIN device_assembly own ON own.Device_Assembly = walk.DevID AND own.AssemblyType = 'A'"
    " JOIN device_assembly membership ON membership.AssemblyNum = own.AssemblyNum AND membership.AssemblyType = 'Z'"
    " JOIN device_assembly member_own ON member_own.AssemblyNum = membership.Device_Assembly"
    " AND member_own.AssemblyType = 'A')"
    " SELECT 'A' AS Kind, own.ID, own.AssemblyNum, own.Device_Assembly FROM walk"
    " JOIN device_assembly own ON own.Device_Assembly = walk.DevID AND own.AssemblyType = 'A'"
    " UNION ALL"
    " SELECT 'Z' AS Kind, membership.ID, membership.AssemblyNum, membership.Device_Assembly FROM walk"
    " JOIN device_assembly own ON own.Device_Assembly = walk.DevID AND own.AssemblyType = 'A'"
    " JOIN device_assembly membership ON membership.AssemblyNum = own.AssemblyNum AND membership.AssemblyType = 'Z'";

struct AssemblyRow {
    qint64 id;
    QVariant assemblyNum;
    QVariant deviceAssembly;
};

void SortById(QList<AssemblyRow>& rows) {
    std::sort(rows.begin(), rows.end(), [](const AssemblyRow& a, const AssemblyRow& b) { return a.id < b.id; });
}

}  // namespace

bool DeviceRecords::ReadSubtree(AssemblyDbClass& db, qint32 devId) {
    QList<AssemblyRow> own;
    QList<AssemblyRow> memberships;
    try {
        RecordSet rows;
        db.GetDataWithQuery(QString::fromLatin1(kSubtreeRows), rows, {devId});
        QSet<qint64> seen;
        for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
            const AssemblyRow row{rows.Field(QStringLiteral("ID")).toLongLong(),
                                  rows.Field(QStringLiteral("AssemblyNum")),
                                  rows.Field(QStringLiteral("Device_Assembly"))};
            if (seen.contains(row.id)) {
                continue;  // a membership reached through two own rows
            }
            seen.insert(row.id);
            (rows.Field(QStringLiteral("Kind")).toString() == QLatin1String("A") ? own : memberships).append(row);
        }
    } catch (const VelkorError&) {
        return false;
    }
    SortById(own);
    SortById(memberships);

    QHash<qint32, QVariant> ownAssembly{{devId, QVariant()}};
    QSet<qint32> assigned;
    QHash<QString, QList<QVariant>> members;
    QHash<QString, QList<QVariant>> devices;
    QList<qint32> devIds{devId};
    for (const AssemblyRow& row : own) {
        const qint32 device = row.deviceAssembly.toInt();
        if (!ownAssembly.contains(device)) {
            devIds.append(device);
        }
        if (!assigned.contains(device)) {
            assigned.insert(device);  // the oldest own row gives the device's assembly number
            ownAssembly.insert(device, NumberOrEmpty(row.assemblyNum));
        }
        members.insert(Key(row.assemblyNum), {});
    }
    for (const AssemblyRow& row : memberships) {
        members[Key(row.assemblyNum)].append(row.deviceAssembly);
        devices.insert(Key(row.deviceAssembly), {});
    }
    for (const AssemblyRow& row : own) {
        const auto holders = devices.find(Key(row.assemblyNum));
        if (holders != devices.end()) {
            holders->append(row.deviceAssembly);
        }
    }
    if (!ReadArticles(db, devIds) || !ReadCounts(db, devIds)) {
        return false;
    }
    ownAssembly_ = ownAssembly;
    members_ = members;
    devices_ = devices;
    return true;
}

bool DeviceRecords::ReadArticles(AssemblyDbClass& db, const QList<qint32>& devIds) {
    QHash<qint32, QVariant> articles;
    try {
        for (qsizetype start = 0; start < devIds.size(); start += kDevicesPerStatement) {
            const QList<qint32> part = devIds.mid(start, kDevicesPerStatement);
            QVariantList values(part.begin(), part.end());
            RecordSet rows;
            db.GetDataWithQuery(QStringLiteral("SELECT DevID, ProductCode FROM device_productcode WHERE DevID IN (%1) "
                                               "ORDER BY DevID, CreationDate DESC, ProductCode DESC, Suffix DESC;")
                                    .arg(Placeholders(part.size())),
                                rows, values);
            for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
                const qint32 device = rows.Field(QStringLiteral("DevID")).toInt();
                if (!articles.contains(device)) {
                    articles.insert(device, rows.Field(QStringLiteral("ProductCode")));  // the newest row
                }
            }
        }
    } catch (const VelkorError&) {
        return false;
    }
    articles_ = articles;
    return true;
}

bool DeviceRecords::ReadCounts(AssemblyDbClass& db, const QList<qint32>& devIds) {
    QHash<qint32, Counts> counts;
    try {
        for (qsizetype start = 0; start < devIds.size(); start += kDevicesPerStatement) {
            const QList<qint32> part = devIds.mid(start, kDevicesPerStatement);
            QVariantList values(part.begin(), part.end());
            values += values;
            values += values;
            const QString list = Placeholders(part.size());
            RecordSet rows;
            db.GetDataWithQuery(
                QStringLiteral(
                    "SELECT DeviceID, 'P' AS Kind, COUNT(DeviceID) AS Number FROM device_productioncode "
                    "WHERE DeviceID IN (%1) GROUP BY DeviceID "
                    "UNION ALL SELECT DeviceID, IF(ExtFlag = '0', '0', IF(ExtFlag = '1', '1', '-')) AS Kind, "
                    "COUNT(DeviceID) AS Number FROM device_serialnumber WHERE DeviceID IN (%1) "
                    "GROUP BY DeviceID, Kind "
                    "UNION ALL SELECT Device_Assembly, 'not set', CAST(SUM(OKFlag <> 1) AS SIGNED) FROM "
                    "device_assembly "
                    "WHERE Device_Assembly IN (%1) AND AssemblyType = 'A' GROUP BY Device_Assembly "
                    "UNION ALL SELECT Device_Assembly, 'not cleared', CAST(SUM(OKFlag <> 0) AS SIGNED) FROM "
                    "device_assembly "
                    "WHERE Device_Assembly IN (%1) AND AssemblyType = 'A' GROUP BY Device_Assembly;")
                    .arg(list),
                rows, values);
            for (qint32 device : part) {
                counts.insert(device, Counts());
            }
            for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
                Counts& entry = counts[rows.Field(QStringLiteral("DeviceID")).toInt()];
                const QString kind = rows.Field(QStringLiteral("Kind")).toString();
                const qint16 number = CountOrZero(rows.Field(QStringLiteral("Number")));
                if (kind == QLatin1String("P")) {
                    entry.prodCodes = number;
                } else if (kind == QLatin1String("0")) {
                    entry.serials = number;
                } else if (kind == QLatin1String("1")) {
                    entry.extSerials = number;
                } else if (kind == QLatin1String("not set")) {
                    entry.notSet = rows.Field(QStringLiteral("Number")).toInt();
                } else if (kind == QLatin1String("not cleared")) {
                    entry.notCleared = rows.Field(QStringLiteral("Number")).toInt();
                }
            }
        }
    } catch (const VelkorError&) {
        return false;
    }
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        counts_.insert(it.key(), it.value());
    }
    return true;
}

void DeviceRecords::NoteOKFlag(qint32 devId, bool flag) {
    const auto entry = counts_.find(devId);
    if (entry != counts_.end()) {
        entry->notSet = flag ? 0 : 1;
        entry->notCleared = flag ? 1 : 0;
    }
}
