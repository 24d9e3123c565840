#include "trace/TextLabels.h"
#include "trace/TraceReports.h"
#include "trace/TraceWarnings.h"

// The text output of "velkor-trace order": one line per final product, below an incomplete one what is missing,
// and the totals; labels in German as in the other outputs.

namespace {

const QString kIndent = QStringLiteral("  ");

QString StateLabel(CompletionState state) {
    switch (state) {
        case CompletionState::Complete:
            return QStringLiteral("vollständig");
        case CompletionState::Incomplete:
            return QStringLiteral("unvollständig");
        case CompletionState::Empty:
            break;
    }
    return QStringLiteral("nichts erfasst");
}

// "Produktionscodes 1/2, Seriennummern 0/1": recorded against expected; serial groups only where one of the two
// is not 0.
QString Counts(const NodeProgress& progress) {
    QStringList parts{
        QStringLiteral("Produktionscodes %1/%2").arg(progress.acquiredProdCodes).arg(progress.expectedProdCodes)};
    if (progress.serNrs != 0 || progress.expectedSerNrs != 0) {
        parts.append(QStringLiteral("Seriennummern %1/%2").arg(progress.serNrs).arg(progress.expectedSerNrs));
    }
    if (progress.extSerNrs != 0 || progress.expectedExtSerNrs != 0) {
        parts.append(
            QStringLiteral("Fremdseriennummern %1/%2").arg(progress.extSerNrs).arg(progress.expectedExtSerNrs));
    }
    return parts.join(QStringLiteral(", "));
}

QString Expected(const BillOfMatFigures& figures) {
    QStringList parts{QStringLiteral("Produktionscodes %1").arg(figures.prodCodes)};
    if (figures.serNrs != 0) {
        parts.append(QStringLiteral("Seriennummern %1").arg(figures.serNrs));
    }
    if (figures.extSerNrs != 0) {
        parts.append(QStringLiteral("Fremdseriennummern %1").arg(figures.extSerNrs));
    }
    return parts.join(QStringLiteral(", "));
}

// "RM-5120-A (Gerät 9033), Produktionscode P24100034, Produktionscodes 1/1: vollständig"
QString DeviceState(const OrderStatus& status, qint32 devId) {
    const DeviceCheck check = status.checks.value(devId);
    QStringList parts{DeviceLabel(check.article, devId)};
    parts += CodeLabels(status.facts.value(devId));
    parts.append(Counts(check.progress));
    return parts.join(QStringLiteral(", ")) + QStringLiteral(": ") + StateLabel(check.state);
}

QString PositionList(const QList<ExpectedPosition>& positions) {
    QStringList articles;
    QHash<QString, int> pieces;
    for (const ExpectedPosition& position : positions) {
        if (!pieces.contains(position.article)) {
            articles.append(position.article);
        }
        ++pieces[position.article];
    }
    QStringList parts;
    for (const QString& article : articles) {
        parts.append(pieces.value(article) == 1 ? article
                                                : QStringLiteral("%1 ×%2").arg(article).arg(pieces.value(article)));
    }
    return parts.isEmpty() ? QStringLiteral("keine") : parts.join(QStringLiteral(", "));
}

void WriteMissing(const OrderStatus& status, const OrderProduct& product, QTextStream& out) {
    out << kIndent << QStringLiteral("Endprodukt selbst: ") << Counts(status.checks.value(product.devId).progress)
        << QStringLiteral(": ") << StateLabel(status.checks.value(product.devId).state) << '\n';
    for (const PositionState& slot : product.positions) {
        out << kIndent << QStringLiteral("%1 Stück %2: ").arg(slot.position.article).arg(slot.position.piece);
        if (slot.devId == 0) {
            out << QStringLiteral("kein Gerät (erwartet: %1)").arg(Expected(slot.position.expected)) << '\n';
        } else {
            out << DeviceState(status, slot.devId) << '\n';
        }
    }
    for (qint32 devId : product.unexpected) {
        out << kIndent << QStringLiteral("nicht in der Stückliste: ") << DeviceState(status, devId) << '\n';
    }
    for (qint32 devId : product.incompleteBelow) {
        out << kIndent << QStringLiteral("darunter: ") << DeviceState(status, devId) << '\n';
    }
}

QString Devices(const OrderStatus& status, const QList<qint32>& devIds) {
    QStringList names;
    for (qint32 devId : devIds) {
        names.append(DeviceLabel(status.checks.value(devId).article, devId));
    }
    return names.join(QStringLiteral(", "));
}

// The product's word by the workstation's rule; the stored flag beside it where it says otherwise.
QString ProductCompleteness(const OrderProduct& product, const DeviceFacts& facts) {
    QString word = product.complete ? QStringLiteral("vollständig") : QStringLiteral("unvollständig");
    if (product.damaged) {
        word = QStringLiteral("BESCHÄDIGT (in einem Zyklus verbaut), ") + word;
    }
    if (facts.hasAssembly && facts.complete != product.complete) {
        word += facts.complete ? QStringLiteral(" (gespeichert: vollständig)")
                               : QStringLiteral(" (gespeichert: unvollständig)");
    }
    return word;
}

// What the word "vollständig" does not tell: the worst latest test below the product and what it lacks.
void WriteFindings(const OrderStatus& status, const OrderProduct& product, QTextStream& out) {
    if (product.worstTest != TestResult::Untested || !product.testMissing.isEmpty()) {
        out << kIndent << QStringLiteral("Schlechtester letzter Test darin: ") << TestLabel(product.worstTest).mid(6)
            << QStringLiteral(" (")
            << DeviceLabel(status.checks.value(product.worstTestDevice).article, product.worstTestDevice)
            << QStringLiteral(")") << '\n';
    }
    if (!product.testMissing.isEmpty()) {
        out << kIndent << QStringLiteral("Test verlangt, aber nicht bestanden: ")
            << Devices(status, product.testMissing) << '\n';
    }
    if (!product.withoutOwnCode.isEmpty()) {
        out << kIndent << QStringLiteral("Ohne eigenen Produktionscode (nur die Codes darunter zählen): ")
            << Devices(status, product.withoutOwnCode) << '\n';
    }
}

}  // namespace

void WriteOrderText(const OrderStatus& status, QTextStream& out) {
    if (!status.Known()) {
        out << QStringLiteral("Produktionsauftrag %1: unbekannt").arg(status.order) << '\n';
        return;
    }
    QStringList head;
    if (status.erpOrder) {
        head.append(status.article.isEmpty() ? status.productCode : status.article);
        if (!status.name.isEmpty()) {
            head.append(status.name);
        }
    } else {
        head.append(QStringLiteral("nicht in der ERP-Kopie der Aufträge"));
    }
    out << QStringLiteral("Produktionsauftrag %1: %2").arg(status.order, head.join(QStringLiteral(", "))) << '\n';
    if (status.positionsKnown) {
        out << QStringLiteral("Erwartete Positionen je Endprodukt: ") << PositionList(status.positions) << '\n';
    } else {
        out << QStringLiteral(
                   "Die erwarteten Positionen sind nicht bekannt: die ERP-Kopie enthält den Auftrag "
                   "nicht mehr. Vollständigkeit nur nach den erfassten Geräten.")
            << '\n';
    }
    for (const OrderProduct& product : status.products) {
        const DeviceFacts facts = status.facts.value(product.devId);
        QStringList parts{DeviceLabel(status.checks.value(product.devId).article, product.devId)};
        parts += CodeLabels(facts);
        parts.append(ProductCompleteness(product, facts));
        parts.append(TestLabel(facts.test));
        out << parts.join(QStringLiteral(", ")) << '\n';
        WriteFindings(status, product, out);
        for (qint32 devId : product.subAssemblies) {
            const DeviceCheck check = status.checks.value(devId);
            QStringList sub{DeviceLabel(check.article, devId)};
            sub += CodeLabels(status.facts.value(devId));
            out << kIndent << QStringLiteral("Baugruppe aus PA %1: ").arg(check.order) << sub.join(QStringLiteral(", "))
                << '\n';
        }
        if (!product.complete) {
            WriteMissing(status, product, out);
        }
    }
    for (qint32 devId : status.builtIntoOthers) {
        const DeviceFacts facts = status.facts.value(devId);
        QStringList parts{DeviceLabel(facts.article, devId)};
        parts += CodeLabels(facts);
        out << QStringLiteral("In ein anderes Gerät verbaut: ") << parts.join(QStringLiteral(", ")) << '\n';
    }
    for (const auto& [devId, order] : status.movedToOtherOrders) {
        const DeviceFacts facts = status.facts.value(devId);
        QStringList parts{DeviceLabel(facts.article, devId)};
        parts += CodeLabels(facts);
        out << QStringLiteral("Umgerüstet, jetzt unter PA %1 (hier nicht gezählt): ").arg(order)
            << parts.join(QStringLiteral(", ")) << '\n';
    }
    for (const TraceWarning& warning : WarningsOf({}, status.cycles)) {
        out << warning.Text() << '\n';
    }
    const OrderTotals totals = TotalsOf(status);
    out << QStringLiteral(
               "Summe: %1 Endprodukte erfasst, %2 vollständig, %3 unvollständig; %4 getestet, davon %5 "
               "nicht bestanden%6")
               .arg(totals.products)
               .arg(totals.complete)
               .arg(totals.incomplete)
               .arg(totals.tested)
               .arg(totals.failed)
               .arg(totals.damaged == 0 ? QString() : QStringLiteral("; %1 BESCHÄDIGT").arg(totals.damaged))
        << '\n';
}

void WriteOrder(const OrderStatus& status, OutputFormat format, QTextStream& out) {
    switch (format) {
        case OutputFormat::Csv:
            WriteOrderCsv(status, out);
            return;
        case OutputFormat::Json:
            WriteOrderJson(status, out);
            return;
        case OutputFormat::Text:
            WriteOrderText(status, out);
            return;
    }
}
