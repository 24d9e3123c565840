#include "trace/CsvFields.h"
#include "trace/TextLabels.h"
#include "trace/TraceReports.h"
#include "trace/TraceWarnings.h"

// CSV of show and where-used for spreadsheets (conventions in trace/CsvFields.h).

namespace {

const int kGenealogyColumns = 19;
const int kWhereUsedColumns = 15;

QString Number(qint32 value) {
    return value == 0 ? QString() : QString::number(value);
}

QString YesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString Complete(const DeviceFacts& device) {
    return !device.hasAssembly ? QString() : YesNo(device.complete);
}

QString CompleteCounted(const DeviceFacts& device) {
    return !device.hasAssembly || !device.counted ? QString() : YesNo(device.countedComplete);
}

// The journal of a device in one field, one entry per "|"-separated item.
QString JournalField(const DeviceFacts& device) {
    QStringList entries;
    for (const JournalEvent& event : device.journal) {
        entries.append(JournalLine(event));
    }
    return entries.join(QLatin1Char('|'));
}

// The kinds of the warnings that concern a code's rows: "several-devices", "cycle".
QString WarningKinds(const CodeMatch& match, bool damaged) {
    QStringList kinds;
    if (match.NamesSeveral()) {
        kinds.append(QStringLiteral("several-devices"));
    }
    if (damaged) {
        kinds.append(QStringLiteral("cycle"));
    }
    return kinds.join(QLatin1Char('|'));
}

void WriteNode(const Genealogy& genealogy, const GenealogyNode& node, qint32 parentDevId, int depth, QTextStream& out) {
    const DeviceFacts device = genealogy.facts.value(node.devId);
    const QString state = depth == 0       ? QStringLiteral("root")
                          : node.Removed() ? QStringLiteral("removed")
                                           : QStringLiteral("built-in");
    WriteCsvRow({genealogy.match.code, QString::number(depth), Number(node.devId), Number(parentDevId), node.link,
                 state, device.article, device.suffix, device.productionCodes.join(QLatin1Char('|')),
                 device.serialNumbers.join(QLatin1Char('|')), device.externalSerialNumbers.join(QLatin1Char('|')),
                 device.order, Complete(device), TestResultKey(device.test), YesNo(node.devId == genealogy.match.devId),
                 CompleteCounted(device), device.placeholderOf == 0 ? QString() : Number(device.placeholderOf),
                 JournalField(device), WarningKinds(genealogy.match, !genealogy.cycles.isEmpty())},
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

void WriteGenealogyCsv(const QList<Genealogy>& genealogies, QTextStream& out) {
    WriteCsvRow({QStringLiteral("code"), QStringLiteral("depth"), QStringLiteral("device"), QStringLiteral("parent"),
                 QStringLiteral("link"), QStringLiteral("state"), QStringLiteral("article"), QStringLiteral("suffix"),
                 QStringLiteral("production_codes"), QStringLiteral("serial_numbers"),
                 QStringLiteral("external_serial_numbers"), QStringLiteral("order"), QStringLiteral("complete"),
                 QStringLiteral("test"), QStringLiteral("queried"), QStringLiteral("complete_counted"),
                 QStringLiteral("placeholder_of"), QStringLiteral("journal"), QStringLiteral("warnings")},
                out);
    for (const Genealogy& genealogy : genealogies) {
        if (!genealogy.match.Found()) {
            WriteCsvRow({genealogy.match.code, QString(), QString(), QString(), QString(), QStringLiteral("unknown")},
                        out, kGenealogyColumns);
            continue;
        }
        WriteNode(genealogy, genealogy.root, 0, 0, out);
    }
}

void WriteWhereUsedCsv(const WhereUsed& whereUsed, QTextStream& out) {
    WriteCsvRow({QStringLiteral("code"), QStringLiteral("matched_as"), QStringLiteral("device"),
                 QStringLiteral("article"), QStringLiteral("state"), QStringLiteral("root_device"),
                 QStringLiteral("root_article"), QStringLiteral("root_order"), QStringLiteral("root_production_code"),
                 QStringLiteral("root_serial_number"), QStringLiteral("path"), QStringLiteral("removed_from"),
                 QStringLiteral("removed_link"), QStringLiteral("root_placeholder_of"), QStringLiteral("warnings")},
                out);
    for (const CodeUsage& entry : whereUsed.codes) {
        const CodeMatch& match = entry.match;
        const QStringList head{match.code, MatchKindKey(match.kind), Number(match.devId),
                               whereUsed.facts.value(match.devId).article};
        const QString warnings = WarningKinds(match, entry.damaged);
        if (!match.Found() || entry.usages.isEmpty() || entry.damaged) {
            // A way up into a cycle is its own row: whatever else is listed, the final products may not be all.
            const QString state = !match.Found()  ? QStringLiteral("unknown")
                                  : entry.damaged ? QStringLiteral("cycle")
                                                  : QStringLiteral("not-built-in");
            QStringList row = head + QStringList{state};
            while (row.size() < kWhereUsedColumns - 1) {
                row.append(QString());
            }
            WriteCsvRow(row + QStringList{warnings}, out, kWhereUsedColumns);
            if (entry.usages.isEmpty()) {
                continue;
            }
        }
        for (const Usage& usage : entry.usages) {
            const DeviceFacts root = whereUsed.facts.value(usage.path.first());
            const int removedStep = usage.RemovedStep();
            WriteCsvRow(head + QStringList{usage.Removed() ? QStringLiteral("removed") : QStringLiteral("built-in"),
                                           Number(root.devId), root.article, root.order, root.productionCodes.value(0),
                                           root.serialNumbers.value(0), PathText(usage.path),
                                           removedStep < 0 ? QString() : Number(usage.path.at(removedStep)),
                                           usage.links.value(removedStep), Number(root.placeholderOf), warnings},
                        out);
        }
    }
}
