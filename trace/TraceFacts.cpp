#include <QJsonArray>
#include <QJsonDocument>

#include "shell/Misc.h"
#include "trace/TraceStore.h"

// The identity of the devices shown: one statement per table for the whole list of devices.

namespace {

const char* const kDeviceRows = "JSON_TABLE(CONVERT(? USING utf8mb4), '$[*]' COLUMNS (dev INT PATH '$')) AS ids";

QString Statement(const char* text) {
    return QString::fromLatin1(text).arg(QLatin1String(kDeviceRows));
}

}  // namespace

FactsByDevice TraceStore::Facts(const QList<qint32>& devIds) {
    FactsByDevice facts;
    QJsonArray array;
    for (qint32 devId : devIds) {
        if (devId != 0 && !facts.contains(devId)) {
            facts[devId].devId = devId;
            array.append(devId);
        }
    }
    if (facts.isEmpty()) {
        return facts;
    }
    const QString ids = QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
    ReadArticles(ids, facts);
    ReadProductionCodes(ids, facts);
    ReadSerialNumbers(ids, facts);
    ReadAssemblyState(ids, facts);
    ReadTestResults(ids, facts);
    return facts;
}

void TraceStore::ReadArticles(const QString& ids, FactsByDevice& facts) {
    // The current article is the newest article row.
    for (RecordSet rs =
             Select(Statement("SELECT x.DevID, x.ProductCode, x.Suffix FROM (SELECT p.DevID, "
                              "p.ProductCode, p.Suffix, ROW_NUMBER() OVER (PARTITION BY p.DevID "
                              "ORDER BY p.CreationDate DESC, p.ProductCode DESC, p.Suffix DESC) AS rn FROM %1 "
                              "JOIN device_productcode p ON p.DevID = ids.dev) x WHERE x.rn = 1"),
                    {ids});
         !rs.Eof(); rs.MoveNext()) {
        DeviceFacts& device = facts[rs.Field(0).toInt()];
        device.article = rs.Field(1).toString();
        device.suffix = IsNullOrEmpty(rs.Field(2)) ? QString() : rs.Field(2).toString();
    }
}

void TraceStore::ReadProductionCodes(const QString& ids, FactsByDevice& facts) {
    for (RecordSet rs = Select(Statement("SELECT p.DeviceID, p.ProductionCode FROM %1 "
                                         "JOIN device_productioncode p ON p.DeviceID = ids.dev "
                                         "ORDER BY p.DeviceID, p.CreationDate DESC, p.ProductionCode DESC"),
                               {ids});
         !rs.Eof(); rs.MoveNext()) {
        facts[rs.Field(0).toInt()].productionCodes.append(rs.Field(1).toString());
    }
}

void TraceStore::ReadSerialNumbers(const QString& ids, FactsByDevice& facts) {
    for (RecordSet rs = Select(Statement("SELECT s.DeviceID, s.SerialNumber, s.ExtFlag FROM %1 "
                                         "JOIN device_serialnumber s ON s.DeviceID = ids.dev "
                                         "ORDER BY s.DeviceID, s.CreationDate DESC, s.SerialNumber DESC"),
                               {ids});
         !rs.Eof(); rs.MoveNext()) {
        DeviceFacts& device = facts[rs.Field(0).toInt()];
        (rs.Field(2).toString() == QLatin1String("1") ? device.externalSerialNumbers : device.serialNumbers)
            .append(rs.Field(1).toString());
    }
}

void TraceStore::ReadAssemblyState(const QString& ids, FactsByDevice& facts) {
    // The order is the one the device's assembly number was created (or converted) under, as the workstation
    // shows it; a device without assembly number shows its newest recorded order. After a conversion the
    // older of two own assembly rows is the one that carries the members.
    for (RecordSet rs = Select(
             Statement("SELECT ids.dev, a.MasterProdOrder, a.OKFlag, a.ID, "
                       "(SELECT o.ProductionOrderNumber FROM device_productionordernumber o WHERE o.DeviceID = ids.dev "
                       "ORDER BY o.CreationDate DESC, o.ProductionOrderNumber DESC LIMIT 1) FROM %1 "
                       "LEFT JOIN device_assembly a ON a.ID = (SELECT MIN(f.ID) FROM device_assembly f "
                       "WHERE f.Device_Assembly = ids.dev AND f.AssemblyType = 'A')"),
             {ids});
         !rs.Eof(); rs.MoveNext()) {
        DeviceFacts& device = facts[rs.Field(0).toInt()];
        device.hasAssembly = !IsNullOrEmpty(rs.Field(3));
        device.complete = device.hasAssembly && rs.Field(2).toInt() == 1;
        device.order = !IsNullOrEmpty(rs.Field(1)) ? rs.Field(1).toString() : rs.Field(4).toString();
    }
}

void TraceStore::ReadTestResults(const QString& ids, FactsByDevice& facts) {
    // Only the newest run counts: passed when its highest item flag is -1, failed when it is anything else,
    // untested when the run has no item with a flag.
    for (RecordSet rs = Select(Statement("SELECT t.DeviceID, (SELECT MAX(i.PassFailFlag) FROM testitem i "
                                         "WHERE i.TestPassID = t.ID) FROM (SELECT tp.DeviceID, tp.ID, "
                                         "ROW_NUMBER() OVER (PARTITION BY tp.DeviceID ORDER BY tp.CreationDate "
                                         "DESC, tp.ID DESC) AS rn FROM %1 JOIN testpass tp ON tp.DeviceID = ids.dev) t "
                                         "WHERE t.rn = 1"),
                               {ids});
         !rs.Eof(); rs.MoveNext()) {
        const QVariant highest = rs.Field(1);
        facts[rs.Field(0).toInt()].test = IsNullOrEmpty(highest)  ? TestResult::Untested
                                          : highest.toInt() == -1 ? TestResult::Passed
                                                                  : TestResult::Failed;
    }
}
