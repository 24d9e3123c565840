#include "trace/TraceStore.h"

// The components a recall selects: one statement whose conditions are the criteria given, each a fixed piece of
// text with bound values. The criterion that narrows best as a set of its own (by an index) gives the candidates;
// every other criterion is a look-up per candidate by its device ID.

namespace {

// A criterion as a set of device IDs (a statement selecting the column ID) and as a condition on the candidate d.
struct Criterion {
    QString set;
    QVariantList setValues;
    QString filter;
    QVariantList filterValues;
};

// The memberships through which a device is or was built into another: 'Z', 'D0', 'D1', ...
const char* const kMembership = "(m.AssemblyType = 'Z' OR m.AssemblyType LIKE 'D%')";

// The candidate d has order `order` (a bound value or a column): as its own order row, as the order of its assembly
// number, or as the order of a device it is or was built into.
QString OrderFilter(const QString& order) {
    return QStringLiteral(
               "(EXISTS (SELECT 1 FROM device_productionordernumber o WHERE o.DeviceID = d.ID AND "
               "o.ProductionOrderNumber = %1) OR EXISTS (SELECT 1 FROM device_assembly a WHERE a.Device_Assembly = "
               "d.ID AND a.AssemblyType = 'A' AND a.MasterProdOrder = %1) OR EXISTS (SELECT 1 FROM device_assembly a "
               "JOIN device_assembly m ON m.Device_Assembly = a.AssemblyNum AND %2 JOIN device_assembly p ON "
               "p.AssemblyNum = m.AssemblyNum AND p.AssemblyType = 'A' WHERE a.Device_Assembly = d.ID AND "
               "a.AssemblyType = 'A' AND p.MasterProdOrder = %1))")
        .arg(order, QLatin1String(kMembership));
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
Criterion CodesIn(const QString& column, const TextRange& range) {
    Criterion c;
    c.set = QStringLiteral("SELECT c.DeviceID AS ID FROM device_productioncode c WHERE ") +
            Between(QStringLiteral("c.") + (column.isEmpty() ? QStringLiteral("ProductionCode") : column), range,
                    c.setValues) +
            QStringLiteral(" UNION SELECT s.DeviceID FROM device_serialnumber s WHERE ") +
            Between(QStringLiteral("s.") + (column.isEmpty() ? QStringLiteral("SerialNumber") : column), range,
                    c.setValues);
    c.filter = QStringLiteral("(EXISTS (SELECT 1 FROM device_productioncode c WHERE c.DeviceID = d.ID AND ") +
               Between(QStringLiteral("c.") + (column.isEmpty() ? QStringLiteral("ProductionCode") : column), range,
                       c.filterValues) +
               QStringLiteral(") OR EXISTS (SELECT 1 FROM device_serialnumber s WHERE s.DeviceID = d.ID AND ") +
               Between(QStringLiteral("s.") + (column.isEmpty() ? QStringLiteral("SerialNumber") : column), range,
                       c.filterValues) +
               QStringLiteral("))");
    return c;
}

// The criteria given, the best set first: codes, article and journal narrow by an index; the order, the
// order dates and the code dates scan; the supplier is a filter only.
QList<Criterion> CriteriaOf(const RecallCriteria& criteria, bool hasJournal) {
    QList<Criterion> list;
    if (criteria.codes.Set()) {
        list.append(CodesIn(QString(), criteria.codes));
    }
    if (!criteria.article.isEmpty()) {
        const QString pattern = LikePattern(criteria.article);
        list.append(Criterion{
            QStringLiteral("SELECT DISTINCT a.DevID AS ID FROM device_productcode a WHERE a.ProductCode LIKE ? "
                           "ESCAPE '!'"),
            {pattern},
            QStringLiteral("EXISTS (SELECT 1 FROM device_productcode a WHERE a.DevID = d.ID AND a.ProductCode LIKE ? "
                           "ESCAPE '!')"),
            {pattern}});
    }
    if (criteria.scanned.Set() || !criteria.workstation.isEmpty() || !criteria.user.isEmpty()) {
        if (!hasJournal) {
            throw VelkorError(kAppErrorNumber,
                              QStringLiteral("Die Datenbank hat kein Journal (velkor_journal): nach Zeit, Arbeitsplatz "
                                             "und Benutzer der Erfassung kann nicht gesucht werden."));
        }
        QStringList journal{QStringLiteral("j.Operation = 'scan'")};
        QVariantList values;
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
        const QString where = journal.join(QStringLiteral(" AND "));
        list.append(Criterion{QStringLiteral("SELECT DISTINCT jd.DeviceID AS ID FROM velkor_journal_device jd JOIN "
                                             "velkor_journal j ON j.OperationID = jd.OperationID WHERE ") +
                                  where,
                              values,
                              QStringLiteral("EXISTS (SELECT 1 FROM velkor_journal_device jd JOIN velkor_journal j ON "
                                             "j.OperationID = jd.OperationID WHERE jd.DeviceID = d.ID AND ") +
                                  where + QLatin1Char(')'),
                              values});
    }
    if (!criteria.order.isEmpty()) {
        const QVariantList values{criteria.order, criteria.order, criteria.order};
        list.append(Criterion{
            QStringLiteral("SELECT o.DeviceID AS ID FROM device_productionordernumber o WHERE o.ProductionOrderNumber "
                           "= ? UNION SELECT a.Device_Assembly FROM device_assembly a WHERE a.AssemblyType = 'A' AND "
                           "a.MasterProdOrder = ? UNION SELECT a.Device_Assembly FROM device_assembly p JOIN "
                           "device_assembly m ON m.AssemblyNum = p.AssemblyNum AND %1 JOIN device_assembly a ON "
                           "a.AssemblyNum = m.Device_Assembly AND a.AssemblyType = 'A' WHERE p.AssemblyType = 'A' AND "
                           "p.MasterProdOrder = ?")
                .arg(QLatin1String(kMembership)),
            values, OrderFilter(QStringLiteral("?")), values});
    }
    if (criteria.ordered.Set()) {
        Criterion c;
        c.set = QStringLiteral("SELECT DISTINCT o.DeviceID AS ID FROM device_productionordernumber o WHERE ") +
                Between(QStringLiteral("o.CreationDate"), criteria.ordered, c.setValues);
        c.filter = QStringLiteral("EXISTS (SELECT 1 FROM device_productionordernumber o WHERE o.DeviceID = d.ID AND ") +
                   Between(QStringLiteral("o.CreationDate"), criteria.ordered, c.filterValues) + QLatin1Char(')');
        list.append(c);
    }
    if (criteria.recorded.Set()) {
        list.append(CodesIn(QStringLiteral("CreationDate"), criteria.recorded));
    }
    if (!criteria.supplier.isEmpty()) {
        // The candidates: the devices of the supplier's articles; the order of the bill of materials is checked
        // per device.
        list.append(Criterion{
            QStringLiteral("SELECT DISTINCT pc.DevID AS ID FROM productionorder_hierarchy_khk h JOIN "
                           "device_productcode pc ON pc.ProductCode = h.SubProductCode WHERE h.SubManufacturer = ?"),
            {criteria.supplier},
            QStringLiteral("EXISTS (SELECT 1 FROM productionorder_hierarchy_khk h JOIN device_productcode pc ON "
                           "pc.ProductCode = h.SubProductCode WHERE pc.DevID = d.ID AND h.SubManufacturer = ? AND ") +
                OrderFilter(QStringLiteral("h.ProductionOrderNumber")) + QLatin1Char(')'),
            {criteria.supplier}});
    }
    return list;
}

}  // namespace

QList<qint32> TraceStore::RecallComponents(const RecallCriteria& criteria) {
    const QList<Criterion> list = CriteriaOf(criteria, HasJournal());
    if (list.isEmpty()) {
        return {};
    }
    // The supplier's set is only the devices of its articles: its filter checks the order as well.
    const bool supplierOnly = list.size() == 1 && !criteria.supplier.isEmpty();
    QString statement = QStringLiteral("SELECT d.ID FROM (") + list.first().set + QStringLiteral(") d");
    QVariantList values = list.first().setValues;
    QStringList filters;
    for (int i = supplierOnly ? 0 : 1; i < list.size(); ++i) {
        filters.append(list.at(i).filter);
        values += list.at(i).filterValues;
    }
    if (!filters.isEmpty()) {
        statement += QStringLiteral(" WHERE ") + filters.join(QStringLiteral(" AND "));
    }
    QList<qint32> devices;
    for (RecordSet rs = Select(statement + QStringLiteral(" ORDER BY d.ID"), values); !rs.Eof(); rs.MoveNext()) {
        devices.append(rs.Field(0).toInt());
    }
    return devices;
}
