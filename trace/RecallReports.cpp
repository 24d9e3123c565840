#include "trace/RecallReports.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "trace/CsvFields.h"
#include "trace/TextLabels.h"
#include "trace/TraceWarnings.h"

// The outputs of a recall: a text line per affected final product under the criteria and counts, CSV with the same
// fields as the spreadsheet, JSON for scripts.

namespace {

QList<TraceWarning> Warnings(const RecallResult& result) {
    return WarningsOf(result.ambiguous, result.cycles);
}

int ProductsBuiltIn(const RecallResult& result) {
    return static_cast<int>(std::count_if(result.products.begin(), result.products.end(),
                                          [](const RecallProduct& product) { return product.StillBuiltIn(); }));
}

// "built-in", "removed", "itself" for one component of a product.
QString ComponentState(const RecallProduct& product, const RecallComponent& component) {
    if (component.devId == product.devId) {
        return QStringLiteral("itself");
    }
    return component.removed ? QStringLiteral("removed") : QStringLiteral("built-in");
}

QString ComponentText(const RecallResult& result, const RecallProduct& product, const RecallComponent& component) {
    const QString label = DeviceLabel(result.facts.value(component.devId).article, component.devId);
    if (component.devId == product.devId) {
        return label + QStringLiteral(" selbst (in keinem Gerät verbaut)");
    }
    if (!component.removed) {
        return label + QStringLiteral(" verbaut");
    }
    return label + (component.removedAt.isEmpty() ? QStringLiteral(" ausgebaut (wann: vor dem Journal)")
                                                  : QStringLiteral(" ausgebaut am ") + component.removedAt);
}

QString Counts(const RecallResult& result) {
    return QStringLiteral(
               "%1 Komponenten ausgewählt, davon %2 in keinem Gerät verbaut; %3 betroffene Endprodukte, davon %4 mit "
               "noch verbauter Komponente")
        .arg(result.components.size())
        .arg(result.notBuiltIn.size())
        .arg(result.products.size())
        .arg(ProductsBuiltIn(result));
}

void WriteText(const RecallResult& result, QTextStream& out) {
    out << QStringLiteral("Rückruf: ") << CriteriaLabels(result.criteria).join(QStringLiteral(", ")) << '\n';
    out << Counts(result) << '\n';
    for (const TraceWarning& warning : Warnings(result)) {
        out << warning.Text() << '\n';
    }
    for (qint32 devId : result.damaged) {
        out << QStringLiteral(
                   "BESCHÄDIGT: der Weg nach oben von Gerät %1 läuft in einen Zyklus; seine Endprodukte "
                   "sind nicht sicher zu bestimmen")
                   .arg(devId)
            << '\n';
    }
    for (const RecallProduct& product : result.products) {
        const DeviceFacts facts = result.facts.value(product.devId);
        QStringList parts{DeviceLabel(facts.article, product.devId)};
        if (!facts.order.isEmpty()) {
            parts.append(QStringLiteral("PA ") + facts.order);
        }
        parts += CodeLabels(facts);
        parts.append(TestLabel(facts.test) +
                     (facts.testDate.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(facts.testDate)));
        QStringList components;
        for (const RecallComponent& component : product.components) {
            components.append(ComponentText(result, product, component));
        }
        out << parts.join(QStringLiteral(", ")) << QStringLiteral(": ") << components.join(QStringLiteral("; "))
            << '\n';
    }
}

void WriteCsv(const RecallResult& result, QTextStream& out) {
    WriteCsvRow(RecallHeader(), out);
    for (const RecallProduct& product : result.products) {
        WriteCsvRow(RecallFields(result, product), out);
    }
}

QJsonValue OrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

void WriteJson(const RecallResult& result, QTextStream& out) {
    QJsonArray products;
    for (const RecallProduct& product : result.products) {
        const DeviceFacts facts = result.facts.value(product.devId);
        QJsonArray components;
        for (const RecallComponent& component : product.components) {
            components.append(
                QJsonObject{{QStringLiteral("device"), component.devId},
                            {QStringLiteral("article"), OrNull(result.facts.value(component.devId).article)},
                            {QStringLiteral("state"), ComponentState(product, component)},
                            {QStringLiteral("removedAt"), OrNull(component.removedAt)}});
        }
        products.append(
            QJsonObject{{QStringLiteral("device"), product.devId},
                        {QStringLiteral("article"), OrNull(facts.article)},
                        {QStringLiteral("order"), OrNull(facts.order)},
                        {QStringLiteral("productionCodes"), QJsonArray::fromStringList(facts.productionCodes)},
                        {QStringLiteral("serialNumbers"), QJsonArray::fromStringList(facts.serialNumbers)},
                        {QStringLiteral("stillBuiltIn"), product.StillBuiltIn()},
                        {QStringLiteral("test"), TestResultKey(facts.test)},
                        {QStringLiteral("testDate"), OrNull(facts.testDate)},
                        {QStringLiteral("components"), components}});
    }
    QJsonArray damaged;
    for (qint32 devId : result.damaged) {
        damaged.append(devId);
    }
    const QJsonObject document{
        {QStringLiteral("criteria"), QJsonArray::fromStringList(CriteriaLabels(result.criteria))},
        {QStringLiteral("counts"),
         QJsonObject{{QStringLiteral("components"), static_cast<int>(result.components.size())},
                     {QStringLiteral("notBuiltIn"), static_cast<int>(result.notBuiltIn.size())},
                     {QStringLiteral("products"), static_cast<int>(result.products.size())},
                     {QStringLiteral("productsBuiltIn"), ProductsBuiltIn(result)}}},
        {QStringLiteral("products"), products},
        {QStringLiteral("damaged"), damaged},
        {QStringLiteral("cycles"), CycleArray(result.cycles)},
        {QStringLiteral("warnings"), WarningArray(Warnings(result))}};
    out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

}  // namespace

QStringList CriteriaLabels(const RecallCriteria& c) {
    QStringList labels;
    const auto range = [&](const char* name, const TextRange& r) {
        if (r.Set()) {
            labels.append(QString::fromUtf8(name) + QLatin1Char(' ') +
                          (r.given.isEmpty() ? r.from + QStringLiteral("..") + r.to : r.given));
        }
    };
    const auto text = [&](const char* name, const QString& value) {
        if (!value.isEmpty()) {
            labels.append(QString::fromUtf8(name) + QLatin1Char(' ') + value);
        }
    };
    text("Artikel", c.article);
    range("Codes", c.codes);
    range("erfasst", c.recorded);
    range("Auftragszeile", c.ordered);
    text("Lieferant", c.supplier);
    text("PA", c.order);
    range("Erfassung", c.scanned);
    text("Arbeitsplatz", c.workstation);
    text("Benutzer", c.user);
    return labels;
}

QStringList RecallHeader() {
    return {QStringLiteral("product"),        QStringLiteral("article"),
            QStringLiteral("order"),          QStringLiteral("production_codes"),
            QStringLiteral("serial_numbers"), QStringLiteral("state"),
            QStringLiteral("components"),     QStringLiteral("component_states"),
            QStringLiteral("removed_at"),     QStringLiteral("test"),
            QStringLiteral("test_date"),      QStringLiteral("warnings")};
}

QStringList RecallFields(const RecallResult& result, const RecallProduct& product) {
    const DeviceFacts facts = result.facts.value(product.devId);
    QStringList components;
    QStringList states;
    QStringList removedAt;
    for (const RecallComponent& component : product.components) {
        components.append(QString::number(component.devId));
        states.append(ComponentState(product, component));
        removedAt.append(component.removedAt);
    }
    QStringList warnings;
    for (const CodeMatch& match : result.ambiguous) {
        if (match.named.contains(product.devId)) {
            warnings.append(QStringLiteral("several-devices"));
            break;
        }
    }
    for (const RecallComponent& component : product.components) {
        if (result.damaged.contains(component.devId)) {
            warnings.append(QStringLiteral("cycle"));
            break;
        }
    }
    const QString state = product.StillBuiltIn() ? QStringLiteral("built-in") : QStringLiteral("removed");
    return {QString::number(product.devId),
            facts.article,
            facts.order,
            facts.productionCodes.join(QLatin1Char('|')),
            facts.serialNumbers.join(QLatin1Char('|')),
            state,
            components.join(QLatin1Char('|')),
            states.join(QLatin1Char('|')),
            removedAt.join(QLatin1Char('|')),
            TestResultKey(facts.test),
            facts.testDate,
            warnings.join(QLatin1Char('|'))};
}

void WriteRecall(const RecallResult& result, OutputFormat format, QTextStream& out) {
    switch (format) {
        case OutputFormat::Csv:
            WriteCsv(result, out);
            return;
        case OutputFormat::Json:
            WriteJson(result, out);
            return;
        case OutputFormat::Text:
            WriteText(result, out);
            return;
    }
}
