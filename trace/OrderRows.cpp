#include <algorithm>

#include "db/ColumnLimits.h"
#include "shell/Misc.h"
#include "trace/CycleList.h"
#include "trace/TraceSql.h"
#include "trace/TraceStore.h"

// The statements of "velkor-trace order": the ERP copy of the order, its devices and, for all its final products
// at once, what is built into them and what is recorded on each device.

namespace {

// As the walks of TraceStore.cpp: far beyond any real product, and the path texts narrow on purpose.
const int kMaxDepth = 80;

// A node of the walk: its root, depth and membership row (0 for the root itself).
struct WalkKey {
    qint32 root;
    int depth;
    qint64 node;
    bool operator==(const WalkKey& other) const {
        return root == other.root && depth == other.depth && node == other.node;
    }
};

size_t qHash(const WalkKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.root, key.depth, key.node);
}

struct WalkRow {
    qint64 node;
    qint32 devId;
    QString link;
};

// The components below the node, in the order their memberships were recorded; a device that is already on the
// way down closes a cycle, which is collected and not followed.
void AddWalkedComponents(GenealogyNode& node, const WalkKey& key, const QHash<WalkKey, QList<WalkRow>>& children,
                         QList<qint32>& path, QList<Cycle>& cycles) {
    QList<WalkRow> rows = children.value(key);
    std::sort(rows.begin(), rows.end(), [](const WalkRow& a, const WalkRow& b) { return a.node < b.node; });
    for (const WalkRow& row : rows) {
        if (path.contains(row.devId)) {
            AddCycle(cycles, CycleFromBottom(path + QList<qint32>{row.devId}));
            continue;
        }
        GenealogyNode child;
        child.devId = row.devId;
        child.link = row.link;
        path.append(row.devId);
        AddWalkedComponents(child, WalkKey{key.root, key.depth + 1, row.node}, children, path, cycles);
        path.removeLast();
        node.components.push_back(std::move(child));
    }
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

void TraceStore::OrderDevices(const QString& paNr, QList<qint32>& roots, QList<qint32>& builtIn,
                              QList<QPair<qint32, QString>>& moved) {
    // A device is built in when one of its own assembly numbers is a current member ('Z') of another; it belongs to
    // another order now when its newest order row names that one (a conversion adds the new order's row).
    for (RecordSet rs =
             Select(QStringLiteral(
                        "SELECT DISTINCT o.DeviceID, EXISTS (SELECT 1 FROM device_assembly a "
                        "JOIN device_assembly m ON m.Device_Assembly = a.AssemblyNum AND m.AssemblyType = 'Z' "
                        "WHERE a.Device_Assembly = o.DeviceID AND a.AssemblyType = 'A'), "
                        "(SELECT n.ProductionOrderNumber FROM device_productionordernumber n WHERE n.DeviceID = "
                        "o.DeviceID ORDER BY n.CreationDate DESC, n.ProductionOrderNumber DESC LIMIT 1) "
                        "FROM device_productionordernumber o WHERE o.ProductionOrderNumber = ? ORDER BY o.DeviceID"),
                    {paNr});
         !rs.Eof(); rs.MoveNext()) {
        const qint32 devId = rs.Field(0).toInt();
        const QString newest = TrimBlanks(rs.Field(2).toString());
        if (!newest.isEmpty() && newest != paNr) {
            moved.append({devId, newest});
        } else {
            (rs.Field(1).toInt() != 0 ? builtIn : roots).append(devId);
        }
    }
}

QHash<qint32, GenealogyNode> TraceStore::WalkDownCurrent(const QList<qint32>& roots, CountsByDevice& counts,
                                                         QList<Cycle>& cycles) {
    QHash<qint32, GenealogyNode> trees;
    if (roots.isEmpty()) {
        return trees;
    }
    // One walk for all roots, its rows narrow (no path texts), so that the server keeps the result of ten
    // thousand products in memory: each row names its membership row (node) and the one above it (parent); the
    // tree and its cycles are put together here. A root without assembly number is a row of its own (depth 0).
    // The numbers of each device are read on the rows the walk gives back. What one product holds comes back as
    // one text with its number of rows: a hundred thousand rows travel much slower than ten thousand texts.
    const RecordSet rs = Select(
        QStringLiteral(
            "WITH RECURSIVE down (root, assnr, dev, node, parent, link, ord, depth) AS ("
            "SELECT ids.dev, a.AssemblyNum, ids.dev, 0, 0, CAST('' AS CHAR(10)), a.MasterProdOrder, 0 FROM %1 "
            "LEFT JOIN device_assembly a ON a.ID = (SELECT MIN(f.ID) FROM device_assembly f "
            "WHERE f.Device_Assembly = ids.dev AND f.AssemblyType = 'A') "
            "UNION ALL "
            "SELECT d.root, c.AssemblyNum, c.Device_Assembly, m.ID, d.node, m.AssemblyType, c.MasterProdOrder, "
            "d.depth + 1 FROM down d JOIN device_assembly m ON m.AssemblyNum = d.assnr AND m.AssemblyType = 'Z' "
            "JOIN device_assembly c ON c.AssemblyNum = m.Device_Assembly AND c.AssemblyType = 'A' "
            "WHERE d.depth < %2) "
            "SELECT d.root, COUNT(*), GROUP_CONCAT(CONCAT_WS(CHAR(31), d.dev, d.link, d.node, d.parent, d.depth, "
            "(SELECT COUNT(*) FROM device_productioncode p WHERE p.DeviceID = d.dev), "
            "IFNULL((SELECT MAX(i.PassFailFlag) FROM testitem i WHERE i.TestPassID = (SELECT tp.ID FROM testpass tp "
            "WHERE tp.DeviceID = d.dev ORDER BY tp.CreationDate DESC, tp.ID DESC LIMIT 1)), ''), "
            "(SELECT CONCAT(COUNT(s.ExtFlag = '0' OR NULL), CHAR(31), COUNT(s.ExtFlag = '1' OR NULL)) "
            "FROM device_serialnumber s WHERE s.DeviceID = d.dev), "
            "IFNULL(COALESCE(d.ord, (SELECT o.ProductionOrderNumber FROM device_productionordernumber o "
            "WHERE o.DeviceID = d.dev ORDER BY o.CreationDate DESC, o.ProductionOrderNumber DESC LIMIT 1)), ''), "
            "IFNULL((SELECT p.ProductCode FROM device_productcode p WHERE p.DevID = d.dev "
            "ORDER BY p.CreationDate DESC, p.ProductCode DESC, p.Suffix DESC LIMIT 1), '')) SEPARATOR 0x1E) "
            "FROM down d GROUP BY d.root")
            .arg(QLatin1String(trace_sql::kDeviceRows))
            .arg(kMaxDepth),
        {trace_sql::JsonList(roots)});
    QHash<WalkKey, QList<WalkRow>> children;
    for (RecordSet product = rs; !product.Eof(); product.MoveNext()) {
        const qint32 root = product.Field(0).toInt();
        // Read as views into the one text: no copy per row and field.
        const QString text = product.Field(2).toString();
        const QList<QStringView> rows = QStringView(text).split(QChar(30));
        if (rows.size() != product.Field(1).toInt()) {
            throw VelkorError(
                kAppErrorNumber,
                QStringLiteral("Die Genealogie von Gerät %1 ist zu groß, um gelesen zu werden").arg(root));
        }
        for (QStringView row : rows) {
            const QList<QStringView> f = row.split(QChar(31));
            if (f.size() < 11) {
                continue;
            }
            const qint32 dev = f.at(0).toInt();
            if (!counts.contains(dev)) {
                const QStringView article = row.sliced(f.at(10).data() - row.data());  // the rest of the row
                const QStringView flag = f.at(6);
                const TestResult test = flag.isEmpty()       ? TestResult::Untested
                                        : flag.toInt() == -1 ? TestResult::Passed
                                                             : TestResult::Failed;
                counts.insert(dev, RecordedCounts{TrimBlanks(article.toString()), TrimBlanks(f.at(9).toString()),
                                                  f.at(5).toInt(), f.at(7).toInt(), f.at(8).toInt(), test});
            }
            const int depth = f.at(4).toInt();
            if (depth > 0) {
                children[WalkKey{root, depth - 1, f.at(3).toLongLong()}].append(
                    WalkRow{f.at(2).toLongLong(), dev, f.at(1).toString()});
            }
        }
    }
    for (qint32 root : roots) {
        GenealogyNode tree;
        tree.devId = root;
        QList<qint32> path{root};
        AddWalkedComponents(tree, WalkKey{root, 0, 0}, children, path, cycles);
        trees.insert(root, tree);
    }
    return trees;
}

void TraceStore::ReadColumnLimits() {
    ColumnLimits::ReadThrough(*this);
}
