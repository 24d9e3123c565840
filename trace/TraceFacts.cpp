#include <QRegularExpression>

#include "shell/Misc.h"
#include "trace/TraceSql.h"
#include "trace/TraceStore.h"

// The identity of the devices shown, read by one statement for the whole list of devices: one row per device and
// one text per row (twenty thousand rows travel much faster as one field than as eight), the fields separated by
// the unit separator and the items of a list by the record separator, neither of which a scanner sends.
//
// The current article is the newest article row. The order is the one the device's assembly number was created
// (or converted) under, as the workstation shows it; a device without assembly number shows its newest recorded
// order. After a conversion the older of two own assembly rows is the one that carries the members. Only the
// newest test run counts: passed when its highest item flag is -1, failed when it is anything else, untested
// when the run has no item with a flag.

namespace {

const char* const kFactsOfDevices =
    "SELECT CONCAT_WS(CHAR(31), ids.dev, "
    "IFNULL((SELECT CONCAT(p.ProductCode, CHAR(31), IFNULL(p.Suffix, '')) FROM device_productcode p "
    "WHERE p.DevID = ids.dev ORDER BY p.CreationDate DESC, p.ProductCode DESC, p.Suffix DESC LIMIT 1), CHAR(31)), "
    "IFNULL((SELECT GROUP_CONCAT(c.ProductionCode ORDER BY c.CreationDate DESC, c.ProductionCode DESC "
    "SEPARATOR 0x1E) FROM device_productioncode c WHERE c.DeviceID = ids.dev), ''), "
    "IFNULL((SELECT GROUP_CONCAT(IF(s.ExtFlag = '1', 'F', 'S'), s.SerialNumber ORDER BY s.CreationDate DESC, "
    "s.SerialNumber DESC SEPARATOR 0x1E) FROM device_serialnumber s WHERE s.DeviceID = ids.dev), ''), "
    "IF(a.ID IS NULL, 0, 1), IFNULL(a.OKFlag, 0), "
    "IFNULL(COALESCE(a.MasterProdOrder, (SELECT o.ProductionOrderNumber FROM device_productionordernumber o "
    "WHERE o.DeviceID = ids.dev ORDER BY o.CreationDate DESC, o.ProductionOrderNumber DESC LIMIT 1)), ''), "
    "IFNULL((SELECT MAX(i.PassFailFlag) FROM testitem i WHERE i.TestPassID = (SELECT tp.ID FROM testpass tp "
    "WHERE tp.DeviceID = ids.dev ORDER BY tp.CreationDate DESC, tp.ID DESC LIMIT 1)), ''), "
    "IFNULL((SELECT DATE_FORMAT(tp.CreationDate, '%Y-%m-%d %H:%i:%s') FROM testpass tp "
    "WHERE tp.DeviceID = ids.dev ORDER BY tp.CreationDate DESC, tp.ID DESC LIMIT 1), '')) "
    "FROM %1 "
    "LEFT JOIN device_assembly a ON a.ID = (SELECT MIN(f.ID) FROM device_assembly f "
    "WHERE f.Device_Assembly = ids.dev AND f.AssemblyType = 'A')";

// Serial numbers come as one list, each marked "F" (external) or "S" (own).
enum Field { kDev, kArticle, kSuffix, kCodes, kSerials, kHasAssembly, kOkFlag, kOrder, kTest, kTestDate, kFields };

// The journal's entries of the devices, oldest first (the operation's identity orders entries of the same time).
const char* const kJournalOfDevices =
    "SELECT jd.DeviceID, DATE_FORMAT(j.CreatedAt, '%Y-%m-%d %H:%i:%s'), j.Workstation, j.OsUser, "
    "IFNULL(j.ProductionOrderNumber, ''), j.Operation, IFNULL(j.Detail, '') FROM %1 "
    "JOIN velkor_journal_device jd ON jd.DeviceID = ids.dev JOIN velkor_journal j ON j.OperationID = jd.OperationID "
    "ORDER BY j.CreatedAt, j.OperationID";

// A conversion's entry names the converted device first and its placeholder as the workstation words it
// ("Gerät 9034: Artikel … ; … ; alter Platz -> Platzhalter Gerät 9187 (RM-5120-A)").
qint32 ConvertedDeviceOf(const JournalEvent& event, qint32 devId) {
    static const QRegularExpression converted(QStringLiteral("^Gerät (\\d+):"));
    static const QRegularExpression placeholder(QStringLiteral("Platzhalter Gerät (\\d+)"));
    if (event.operation != QLatin1String("conversion")) {
        return 0;
    }
    const QRegularExpressionMatch p = placeholder.match(event.detail);
    const QRegularExpressionMatch c = converted.match(event.detail);
    return p.hasMatch() && c.hasMatch() && p.captured(1).toInt() == devId ? c.captured(1).toInt() : 0;
}

QStringList Items(const QString& field) {
    QStringList items;
    if (!field.isEmpty()) {
        for (const QString& item : field.split(QChar(30))) {
            items.append(TrimBlanks(item));
        }
    }
    return items;
}

TestResult TestResultOf(const QString& highestFlag) {
    if (highestFlag.isEmpty()) {
        return TestResult::Untested;
    }
    return highestFlag.toInt() == -1 ? TestResult::Passed : TestResult::Failed;
}

}  // namespace

FactsByDevice TraceStore::Facts(const QList<qint32>& devIds) {
    FactsByDevice facts;
    QList<qint32> shown;
    for (qint32 devId : devIds) {
        if (devId != 0 && !facts.contains(devId)) {
            facts[devId].devId = devId;
            shown.append(devId);
        }
    }
    if (facts.isEmpty()) {
        return facts;
    }
    const QString statement = QString::fromLatin1(kFactsOfDevices).arg(QLatin1String(trace_sql::kDeviceRows));
    for (RecordSet rs = Select(statement, {trace_sql::JsonList(shown)}); !rs.Eof(); rs.MoveNext()) {
        const QStringList f = rs.Field(0).toString().split(QChar(31));
        if (f.size() < kFields) {
            continue;
        }
        DeviceFacts& device = facts[f.at(kDev).toInt()];
        device.article = TrimBlanks(f.at(kArticle));
        device.suffix = TrimBlanks(f.at(kSuffix));
        device.productionCodes = Items(f.at(kCodes));
        for (const QString& serial : Items(f.at(kSerials))) {
            (serial.startsWith(QLatin1Char('F')) ? device.externalSerialNumbers : device.serialNumbers)
                .append(TrimBlanks(serial.mid(1)));
        }
        device.hasAssembly = f.at(kHasAssembly) == QLatin1String("1");
        device.complete = device.hasAssembly && f.at(kOkFlag).toInt() == 1;
        device.order = TrimBlanks(f.at(kOrder));
        device.test = TestResultOf(TrimBlanks(f.at(kTest)));
        device.testDate = f.at(kTestDate);
    }
    AddJournal(shown, facts);
    return facts;
}

void TraceStore::AddJournal(const QList<qint32>& devIds, FactsByDevice& facts) {
    if (!HasJournal()) {
        return;
    }
    for (qint32 devId : devIds) {
        facts[devId].journalKnown = true;
    }
    const QString statement = QString::fromLatin1(kJournalOfDevices).arg(QLatin1String(trace_sql::kDeviceRows));
    for (RecordSet rs = Select(statement, {trace_sql::JsonList(devIds)}); !rs.Eof(); rs.MoveNext()) {
        const qint32 devId = rs.Field(0).toInt();
        const JournalEvent event{rs.Field(1).toString(), rs.Field(2).toString(), rs.Field(3).toString(),
                                 rs.Field(4).toString(), rs.Field(5).toString(), rs.Field(6).toString()};
        DeviceFacts& device = facts[devId];
        device.journal.append(event);
        if (const qint32 converted = ConvertedDeviceOf(event, devId); converted != 0) {
            device.placeholderOf = converted;
        }
    }
}
