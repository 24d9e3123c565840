#include <QJsonArray>
#include <QJsonDocument>

#include "db/ColumnLimits.h"
#include "shell/Misc.h"
#include "trace/CycleList.h"
#include "trace/GenealogyTree.h"
#include "trace/TraceStore.h"

// The statements of "velkor-trace order": the ERP copy of the order, its devices and, for all its final products
// at once, what is built into them and what is recorded on each device.

namespace {

const char* const kDeviceRows = "JSON_TABLE(CONVERT(? USING utf8mb4), '$[*]' COLUMNS (dev INT PATH '$')) AS ids";

// As the walks of TraceStore.cpp: far beyond any real product, and the path texts narrow on purpose.
const int kMaxDepth = 80;

QString JsonList(const QList<qint32>& numbers) {
    QJsonArray array;
    for (qint32 number : numbers) {
        array.append(number);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<qint32> DeviceList(const QString& commaSeparated) {
    QList<qint32> devices;
    for (const QString& part : commaSeparated.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        devices.append(part.toInt());
    }
    return devices;
}

QString TextOrEmpty(const QVariant& value) {
    return IsNullOrEmpty(value) ? QString() : value.toString();
}

}  // namespace

TraceStore::OrderErpRows TraceStore::ReadOrderErp(const QString& paNr) {
    OrderErpRows rows;
    const RecordSet order = Select(
        QStringLiteral("SELECT ProductCode, Name FROM productionorder_khk WHERE ProductionOrderNumber = ?"), {paNr});
    if (!order.Eof()) {
        rows.orderRow = true;
        rows.productCode = TextOrEmpty(order.Field(0));
        rows.name = TextOrEmpty(order.Field(1));
    }
    for (RecordSet rs = Select(QStringLiteral("SELECT SubProductCode, SubCount FROM productionorder_hierarchy_khk "
                                              "WHERE ProductionOrderNumber = ?"),
                               {paNr});
         !rs.Eof(); rs.MoveNext()) {
        rows.positions.append({TextOrEmpty(rs.Field(0)), rs.Field(1)});
    }
    return rows;
}

QHash<QString, BillOfMatFigures> TraceStore::BillsOfMat(const QStringList& articles) {
    AssemblyDbClass& db = *this;
    // One operation: the figures of all articles are read by one statement and then answered from it.
    AssemblyDbClass::OperationScope operation(db);
    db.ReadBillsOfMat(articles);
    QHash<QString, BillOfMatFigures> figures;
    for (const QString& article : articles) {
        if (!figures.contains(article)) {
            figures.insert(article, ReadBillOfMat(db, article));
        }
    }
    return figures;
}

void TraceStore::OrderDevices(const QString& paNr, QList<qint32>& roots, QList<qint32>& builtIn) {
    // A device is built in when one of its own assembly numbers is a current member ('Z') of another.
    for (RecordSet rs = Select(QStringLiteral("SELECT DISTINCT o.DeviceID, EXISTS (SELECT 1 FROM device_assembly a "
                                              "JOIN device_assembly m ON m.Device_Assembly = a.AssemblyNum AND "
                                              "m.AssemblyType = 'Z' WHERE a.Device_Assembly = o.DeviceID AND "
                                              "a.AssemblyType = 'A') FROM device_productionordernumber o "
                                              "WHERE o.ProductionOrderNumber = ? ORDER BY o.DeviceID"),
                               {paNr});
         !rs.Eof(); rs.MoveNext()) {
        (rs.Field(1).toInt() != 0 ? builtIn : roots).append(rs.Field(0).toInt());
    }
}

QHash<qint32, GenealogyNode> TraceStore::WalkDownCurrent(const QList<qint32>& roots, CountsByDevice& counts,
                                                         QList<Cycle>& cycles) {
    QHash<qint32, GenealogyNode> trees;
    if (roots.isEmpty()) {
        return trees;
    }
    // One walk for all roots: a root without assembly number is a row of its own (depth 0) with nothing below.
    // The numbers of each device are read once, on the rows the walk gives back.
    const RecordSet rs = Select(
        QStringLiteral("WITH RECURSIVE down (root, assnr, dev, link, nodekey, devs, ord, depth, cyc) AS ("
                       "SELECT ids.dev, a.AssemblyNum, ids.dev, CAST('' AS CHAR(10)), CAST('' AS CHAR(1000) CHARACTER "
                       "SET latin1), "
                       "CAST(ids.dev AS CHAR(1000) CHARACTER SET latin1), a.MasterProdOrder, 0, 0 FROM %1 "
                       "LEFT JOIN device_assembly a ON a.ID = (SELECT MIN(f.ID) FROM device_assembly f "
                       "WHERE f.Device_Assembly = ids.dev AND f.AssemblyType = 'A') "
                       "UNION ALL "
                       "SELECT d.root, c.AssemblyNum, c.Device_Assembly, m.AssemblyType, CONCAT(d.nodekey, '/', m.ID), "
                       "CONCAT(d.devs, ',', c.Device_Assembly), c.MasterProdOrder, d.depth + 1, "
                       "FIND_IN_SET(c.Device_Assembly, d.devs) > 0 "
                       "FROM down d JOIN device_assembly m ON m.AssemblyNum = d.assnr AND m.AssemblyType = 'Z' "
                       "JOIN device_assembly c ON c.AssemblyNum = m.Device_Assembly AND c.AssemblyType = 'A' "
                       "WHERE d.cyc = 0 AND d.depth < %2) "
                       "SELECT d.root, d.dev, d.link, d.nodekey, d.devs, d.cyc, "
                       "(SELECT p.ProductCode FROM device_productcode p WHERE p.DevID = d.dev "
                       "ORDER BY p.CreationDate DESC, p.ProductCode DESC, p.Suffix DESC LIMIT 1), "
                       "COALESCE(d.ord, (SELECT o.ProductionOrderNumber FROM device_productionordernumber o "
                       "WHERE o.DeviceID = d.dev ORDER BY o.CreationDate DESC, o.ProductionOrderNumber DESC LIMIT 1)), "
                       "(SELECT COUNT(*) FROM device_productioncode p WHERE p.DeviceID = d.dev), "
                       "(SELECT COUNT(*) FROM device_serialnumber s WHERE s.DeviceID = d.dev AND s.ExtFlag = '0'), "
                       "(SELECT COUNT(*) FROM device_serialnumber s WHERE s.DeviceID = d.dev AND s.ExtFlag = '1') "
                       "FROM down d")
            .arg(QLatin1String(kDeviceRows))
            .arg(kMaxDepth),
        {JsonList(roots)});
    QHash<qint32, NodeRows> rowsByRoot;
    for (RecordSet row = rs; !row.Eof(); row.MoveNext()) {
        const qint32 dev = row.Field(1).toInt();
        if (row.Field(5).toInt() != 0) {
            AddCycle(cycles, CycleFromBottom(DeviceList(row.Field(4).toString())));
            continue;
        }
        if (!counts.contains(dev)) {
            counts.insert(dev, RecordedCounts{TextOrEmpty(row.Field(6)), TextOrEmpty(row.Field(7)),
                                              row.Field(8).toInt(), row.Field(9).toInt(), row.Field(10).toInt()});
        }
        const QString key = row.Field(3).toString();
        if (!key.isEmpty()) {
            rowsByRoot[row.Field(0).toInt()].append(NodeRow{key, dev, row.Field(2).toString()});
        }
    }
    for (qint32 root : roots) {
        trees.insert(root, BuildTree(root, rowsByRoot.value(root)));
    }
    return trees;
}

void TraceStore::ReadColumnLimits() {
    ColumnLimits::ReadThrough(*this);
}
