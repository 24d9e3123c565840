#include "trace/TextLabels.h"
#include "trace/TraceReports.h"
#include "trace/TraceWarnings.h"

// The text outputs: one line per device, two blanks of indentation per level, labels as in the window.

namespace {

const QString kIndent = QStringLiteral("  ");

QString MatchLabel(MatchKind kind) {
    switch (kind) {
        case MatchKind::ProductionCode:
            return QStringLiteral("Produktionscode");
        case MatchKind::SerialNumber:
            return QStringLiteral("Seriennummer");
        case MatchKind::ExternalSerialNumber:
            return QStringLiteral("Fremdseriennummer");
        case MatchKind::None:
            break;
    }
    return QStringLiteral("unbekannt");
}

// "SG-5000-A (Gerät 9030)"
QString DeviceName(const FactsByDevice& facts, qint32 devId) {
    return DeviceLabel(facts.value(devId).article, devId);
}

// The identifiers of a device, without its test result and completeness.
QStringList Identifiers(const DeviceFacts& device) {
    QStringList parts;
    if (!device.order.isEmpty()) {
        parts.append(QStringLiteral("PA ") + device.order);
    }
    return parts + CodeLabels(device);
}

void WriteNode(const Genealogy& genealogy, const GenealogyNode& node, qint32 parentDevId, int depth, bool withJournal,
               QTextStream& out) {
    const DeviceFacts device = genealogy.facts.value(node.devId);
    QStringList parts{DeviceName(genealogy.facts, node.devId)};
    if (device.placeholderOf != 0) {
        parts.append(QStringLiteral("PLATZHALTER der Umrüstung von Gerät %1").arg(device.placeholderOf));
    }
    parts += Identifiers(device);
    const QString completeness = CompletenessLabel(device);
    if (!completeness.isEmpty()) {
        parts.append(completeness);
    }
    parts.append(TestLabel(device.test));
    if (node.Removed()) {
        parts.append(QStringLiteral("AUSGEBAUT (%1) aus %2").arg(node.link, DeviceName(genealogy.facts, parentDevId)));
    }
    if (node.devId == genealogy.match.devId) {
        parts.append(QStringLiteral("<< %1").arg(genealogy.match.code));
    }
    out << kIndent.repeated(depth) << parts.join(QStringLiteral(", ")) << '\n';
    if (withJournal) {
        for (const QString& line : JournalLines(device)) {
            out << kIndent.repeated(depth + 2) << QStringLiteral("· ") << line << '\n';
        }
    }
    for (const GenealogyNode& child : node.components) {
        WriteNode(genealogy, child, node.devId, depth + 1, withJournal, out);
    }
}

// Whether any device of the genealogy has an entry in the journal; without any, one line says so for all.
bool AnyJournal(const Genealogy& genealogy) {
    for (const DeviceFacts& device : genealogy.facts) {
        if (!device.journal.isEmpty()) {
            return true;
        }
    }
    return false;
}

void WriteUsage(const WhereUsed& whereUsed, const Usage& usage, QTextStream& out) {
    const DeviceFacts root = whereUsed.facts.value(usage.path.first());
    QStringList parts{QStringLiteral("Endprodukt ") + DeviceName(whereUsed.facts, root.devId)};
    if (root.placeholderOf != 0) {
        parts.append(
            QStringLiteral("PLATZHALTER der Umrüstung, an seine Stelle trat Gerät %1").arg(root.placeholderOf));
    }
    parts += Identifiers(root);
    out << kIndent << parts.join(QStringLiteral(", "))
        << (usage.Removed() ? QStringLiteral(": ausgebaut") : QStringLiteral(": verbaut")) << '\n';
    for (int step = 0; step < usage.path.size(); ++step) {
        out << kIndent.repeated(step + 2) << DeviceName(whereUsed.facts, usage.path.at(step));
        const QString link = step > 0 ? usage.links.value(step - 1) : QString();
        if (link.startsWith(QLatin1Char('D'))) {
            out << QStringLiteral(" - AUSGEBAUT (%1)").arg(link);
        }
        out << '\n';
    }
}

}  // namespace

QString CycleMessage(const Cycle& cycle) {
    QStringList devices;
    for (qint32 devId : cycle) {
        devices.append(QStringLiteral("Gerät %1").arg(devId));
    }
    return QStringLiteral(
               "Zyklus in der Baugruppen-Tabelle: %1 (jedes Gerät ist in das vorige verbaut). "
               "Die Struktur ist dort abgebrochen; eine Korrektur der Datenbank ist notwendig.")
        .arg(devices.join(QStringLiteral(" > ")));
}

void WriteWarningsText(const QList<TraceWarning>& warnings, QTextStream& out) {
    for (const TraceWarning& warning : warnings) {
        out << warning.Text() << '\n';
    }
}

void WriteGenealogyText(const QList<Genealogy>& genealogies, QTextStream& out) {
    WriteWarningsText(WarningsOf(genealogies), out);
    for (const Genealogy& genealogy : genealogies) {
        const CodeMatch& match = genealogy.match;
        if (!match.Found()) {
            out << match.code << QStringLiteral(": unbekannt") << '\n';
            continue;
        }
        const QString root = genealogy.damaged ? QStringLiteral(
                                                     "Endprodukt nicht bestimmbar (der Weg nach oben läuft in einen "
                                                     "Zyklus), gezeigt ab Gerät %1")
                                                     .arg(genealogy.root.devId)
                                               : QStringLiteral("Endprodukt Gerät %1").arg(genealogy.root.devId);
        out << QStringLiteral("Genealogie von %1 (%2, Gerät %3), %4")
                   .arg(match.code, MatchLabel(match.kind))
                   .arg(match.devId)
                   .arg(root)
            << '\n';
        const bool withJournal = AnyJournal(genealogy);
        WriteNode(genealogy, genealogy.root, 0, 0, withJournal, out);
        if (!withJournal) {
            out << QStringLiteral("Journal: keine Einträge zu diesen Geräten (vor Einführung des Journals erfasst)")
                << '\n';
        }
    }
}

void WriteWhereUsedText(const WhereUsed& whereUsed, QTextStream& out) {
    QList<CodeMatch> matches;
    for (const CodeUsage& entry : whereUsed.codes) {
        matches.append(entry.match);
    }
    WriteWarningsText(WarningsOf(matches, whereUsed.cycles), out);
    for (const CodeUsage& entry : whereUsed.codes) {
        const CodeMatch& match = entry.match;
        if (!match.Found()) {
            out << match.code << QStringLiteral(": unbekannt") << '\n';
            continue;
        }
        out << QStringLiteral("%1 (%2): %3")
                   .arg(match.code, MatchLabel(match.kind), DeviceName(whereUsed.facts, match.devId))
            << '\n';
        if (entry.damaged) {
            out << kIndent
                << QStringLiteral(
                       "BESCHÄDIGT: der Weg nach oben läuft in einen Zyklus; die Endprodukte darüber sind "
                       "nicht zu bestimmen")
                << '\n';
        } else if (entry.usages.isEmpty()) {
            out << kIndent << QStringLiteral("in keinem Endprodukt verbaut") << '\n';
        }
        for (const Usage& usage : entry.usages) {
            WriteUsage(whereUsed, usage, out);
        }
    }
}

void WriteGenealogy(const QList<Genealogy>& genealogy, OutputFormat format, QTextStream& out) {
    switch (format) {
        case OutputFormat::Csv:
            WriteGenealogyCsv(genealogy, out);
            return;
        case OutputFormat::Json:
            WriteGenealogyJson(genealogy, out);
            return;
        case OutputFormat::Text:
            WriteGenealogyText(genealogy, out);
            return;
    }
}

void WriteWhereUsed(const WhereUsed& whereUsed, OutputFormat format, QTextStream& out) {
    switch (format) {
        case OutputFormat::Csv:
            WriteWhereUsedCsv(whereUsed, out);
            return;
        case OutputFormat::Json:
            WriteWhereUsedJson(whereUsed, out);
            return;
        case OutputFormat::Text:
            WriteWhereUsedText(whereUsed, out);
            return;
    }
}
