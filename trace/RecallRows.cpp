#include "trace/TraceStore.h"

// The components a recall selects: one statement whose conditions are the criteria given, each a fixed piece of
// text with bound values.

namespace {

// The device d has order `order` (a bound value or a column): as its own order row, as the order of its assembly
// number, or as the order of a device it is or was built into.
QString OrderOfDevice(const QString& order) {
    return QStringLiteral(
               "(d.ID IN (SELECT o.DeviceID FROM device_productionordernumber o WHERE o.ProductionOrderNumber = %1) "
               "OR d.ID IN (SELECT a.Device_Assembly FROM device_assembly a WHERE a.AssemblyType = 'A' AND "
               "a.MasterProdOrder = %1) "
               "OR d.ID IN (SELECT a.Device_Assembly FROM device_assembly p JOIN device_assembly m ON m.AssemblyNum = "
               "p.AssemblyNum AND (m.AssemblyType = 'Z' OR m.AssemblyType LIKE 'D%') JOIN device_assembly a ON "
               "a.AssemblyNum = m.Device_Assembly AND a.AssemblyType = 'A' WHERE p.AssemblyType = 'A' AND "
               "p.MasterProdOrder = %1))")
        .arg(order);
}

// A pattern with * and ? as LIKE takes it, "!" escaping the characters LIKE would read.
QString LikePattern(const QString& pattern) {
    QString like;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('!')) {
            like += QLatin1Char('!');
            like += c;
        } else if (c == QLatin1Char('*')) {
            like += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            like += QLatin1Char('_');
        } else {
            like += c;
        }
    }
    return like;
}

// "column >= ? AND column <= ?" for the ends of the range that are given.
QString Between(const QString& column, const TextRange& range, QVariantList& values) {
    QStringList parts;
    if (!range.from.isEmpty()) {
        parts.append(column + QStringLiteral(" >= ?"));
        values.append(range.from);
    }
    if (!range.to.isEmpty()) {
        parts.append(column + QStringLiteral(" <= ?"));
        values.append(range.to);
    }
    return parts.join(QStringLiteral(" AND "));
}

// Devices with a production code or serial number whose column (the code or its date) lies in the range.
QString CodesIn(const QString& codeColumn, const QString& serialColumn, const TextRange& range, QVariantList& values) {
    QString condition = QStringLiteral("(d.ID IN (SELECT c.DeviceID FROM device_productioncode c WHERE ");
    condition += Between(QStringLiteral("c.") + codeColumn, range, values);
    condition += QStringLiteral(") OR d.ID IN (SELECT s.DeviceID FROM device_serialnumber s WHERE ");
    condition += Between(QStringLiteral("s.") + serialColumn, range, values);
    return condition + QStringLiteral("))");
}

}  // namespace

QList<qint32> TraceStore::RecallComponents(const RecallCriteria& criteria) {
    QStringList conditions;
    QVariantList values;
    if (!criteria.article.isEmpty()) {
        conditions.append(
            QStringLiteral("d.ID IN (SELECT a.DevID FROM device_productcode a WHERE a.ProductCode LIKE ? ESCAPE '!')"));
        values.append(LikePattern(criteria.article));
    }
    if (criteria.codes.Set()) {
        conditions.append(
            CodesIn(QStringLiteral("ProductionCode"), QStringLiteral("SerialNumber"), criteria.codes, values));
    }
    if (criteria.recorded.Set()) {
        conditions.append(
            CodesIn(QStringLiteral("CreationDate"), QStringLiteral("CreationDate"), criteria.recorded, values));
    }
    if (criteria.ordered.Set()) {
        conditions.append(QStringLiteral("d.ID IN (SELECT o.DeviceID FROM device_productionordernumber o WHERE ") +
                          Between(QStringLiteral("o.CreationDate"), criteria.ordered, values) + QLatin1Char(')'));
    }
    if (!criteria.order.isEmpty()) {
        conditions.append(OrderOfDevice(QStringLiteral("?")));
        values << criteria.order << criteria.order << criteria.order;
    }
    if (!criteria.supplier.isEmpty()) {
        conditions.append(
            QStringLiteral("EXISTS (SELECT 1 FROM productionorder_hierarchy_khk h JOIN device_productcode "
                           "pc ON pc.ProductCode = h.SubProductCode WHERE pc.DevID = d.ID AND "
                           "h.SubManufacturer = ? AND ") +
            OrderOfDevice(QStringLiteral("h.ProductionOrderNumber")) + QLatin1Char(')'));
        values.append(criteria.supplier);
    }
    if (criteria.scanned.Set() || !criteria.workstation.isEmpty() || !criteria.user.isEmpty()) {
        if (!HasJournal()) {
            throw VelkorError(kAppErrorNumber,
                              QStringLiteral("Die Datenbank hat kein Journal (velkor_journal): nach Zeit, Arbeitsplatz "
                                             "und Benutzer der Erfassung kann nicht gesucht werden."));
        }
        QStringList journal{QStringLiteral("j.Operation = 'scan'")};
        if (criteria.scanned.Set()) {
            journal.append(Between(QStringLiteral("j.CreatedAt"), criteria.scanned, values));
        }
        if (!criteria.workstation.isEmpty()) {
            journal.append(QStringLiteral("j.Workstation = ?"));
            values.append(criteria.workstation);
        }
        if (!criteria.user.isEmpty()) {
            journal.append(QStringLiteral("j.OsUser = ?"));
            values.append(criteria.user);
        }
        conditions.append(QStringLiteral("d.ID IN (SELECT jd.DeviceID FROM velkor_journal_device jd JOIN "
                                         "velkor_journal j ON j.OperationID = jd.OperationID WHERE ") +
                          journal.join(QStringLiteral(" AND ")) + QLatin1Char(')'));
    }
    QList<qint32> devices;
    for (RecordSet rs = Select(QStringLiteral("SELECT d.ID FROM device d WHERE ") +
                                   conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY d.ID"),
                               values);
         !rs.Eof(); rs.MoveNext()) {
        devices.append(rs.Field(0).toInt());
    }
    return devices;
}
