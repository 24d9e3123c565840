#include "trace/CsvFields.h"
#include "trace/TraceReports.h"

// CSV of show and where-used for spreadsheets (conventions in trace/CsvFields.h).

namespace {

const int kGenealogyColumns = 15;
const int kWhereUsedColumns = 13;

QString Number(qint32 value) {
    return value == 0 ? QString() : QString::number(value);
}

QString Complete(const DeviceFacts& device) {
    return !device.hasAssembly ? QString() : device.complete ? QStringLiteral("yes") : QStringLiteral("no");
}

void WriteNode(const Genealogy& genealogy, const GenealogyNode& node, qint32 parentDevId, int depth, QTextStream& out) {
    const DeviceFacts device = genealogy.facts.value(node.devId);
    const QString state = depth == 0       ? QStringLiteral("root")
                          : node.Removed() ? QStringLiteral("removed")
                                           : QStringLiteral("built-in");
    WriteCsvRow({genealogy.match.code, QString::number(depth), Number(node.devId), Number(parentDevId), node.link,
                 state, device.article, device.suffix, device.productionCodes.join(QLatin1Char('|')),
                 device.serialNumbers.join(QLatin1Char('|')), device.externalSerialNumbers.join(QLatin1Char('|')),
                 device.order, Complete(device), TestResultKey(device.test),
                 node.devId == genealogy.match.devId ? QStringLiteral("yes") : QStringLiteral("no")},
                out);
    for (const GenealogyNode& child : node.components) {
        WriteNode(genealogy, child, node.devId, depth + 1, out);
    }
}

QString PathText(const QList<qint32>& path) {
    QStringList devices;
    for (qint32 devId : path) {
        devices.append(QString::number(devId));
    }
    return devices.join(QLatin1Char('>'));
}

}  // namespace

void WriteGenealogyCsv(const Genealogy& genealogy, QTextStream& out) {
    WriteCsvRow({QStringLiteral("code"), QStringLiteral("depth"), QStringLiteral("device"), QStringLiteral("parent"),
                 QStringLiteral("link"), QStringLiteral("state"), QStringLiteral("article"), QStringLiteral("suffix"),
                 QStringLiteral("production_codes"), QStringLiteral("serial_numbers"),
                 QStringLiteral("external_serial_numbers"), QStringLiteral("order"), QStringLiteral("complete"),
                 QStringLiteral("test"), QStringLiteral("queried")},
                out);
    if (!genealogy.match.Found()) {
        WriteCsvRow({genealogy.match.code, QString(), QString(), QString(), QString(), QStringLiteral("unknown")}, out,
                    kGenealogyColumns);
        return;
    }
    WriteNode(genealogy, genealogy.root, 0, 0, out);
}

void WriteWhereUsedCsv(const WhereUsed& whereUsed, QTextStream& out) {
    WriteCsvRow(
        {QStringLiteral("code"), QStringLiteral("matched_as"), QStringLiteral("device"), QStringLiteral("article"),
         QStringLiteral("state"), QStringLiteral("root_device"), QStringLiteral("root_article"),
         QStringLiteral("root_order"), QStringLiteral("root_production_code"), QStringLiteral("root_serial_number"),
         QStringLiteral("path"), QStringLiteral("removed_from"), QStringLiteral("removed_link")},
        out);
    for (const CodeUsage& entry : whereUsed.codes) {
        const CodeMatch& match = entry.match;
        const QStringList head{match.code, MatchKindKey(match.kind), Number(match.devId),
                               whereUsed.facts.value(match.devId).article};
        if (!match.Found() || entry.usages.isEmpty()) {
            WriteCsvRow(head + QStringList{match.Found() ? QStringLiteral("not-built-in") : QStringLiteral("unknown")},
                        out, kWhereUsedColumns);
            continue;
        }
        for (const Usage& usage : entry.usages) {
            const DeviceFacts root = whereUsed.facts.value(usage.path.first());
            const int removedStep = usage.RemovedStep();
            WriteCsvRow(head + QStringList{usage.Removed() ? QStringLiteral("removed") : QStringLiteral("built-in"),
                                           Number(root.devId), root.article, root.order, root.productionCodes.value(0),
                                           root.serialNumbers.value(0), PathText(usage.path),
                                           removedStep < 0 ? QString() : Number(usage.path.at(removedStep)),
                                           usage.links.value(removedStep)},
                        out);
        }
    }
}
