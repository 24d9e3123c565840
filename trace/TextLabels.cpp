#include "trace/TextLabels.h"

#include <QHash>

namespace {

QString Labelled(const QString& singular, const QString& plural, const QStringList& values) {
    return (values.size() == 1 ? singular : plural) + QLatin1Char(' ') + values.join(QStringLiteral(", "));
}

}  // namespace

QString DeviceLabel(const QString& article, qint32 devId) {
    return QStringLiteral("%1 (Gerät %2)")
        .arg(article.isEmpty() ? QStringLiteral("Artikel unbekannt") : article)
        .arg(devId);
}

QStringList CodeLabels(const DeviceFacts& device) {
    QStringList parts;
    if (!device.productionCodes.isEmpty()) {
        parts.append(
            Labelled(QStringLiteral("Produktionscode"), QStringLiteral("Produktionscodes"), device.productionCodes));
    }
    if (!device.serialNumbers.isEmpty()) {
        parts.append(Labelled(QStringLiteral("Seriennummer"), QStringLiteral("Seriennummern"), device.serialNumbers));
    }
    if (!device.externalSerialNumbers.isEmpty()) {
        parts.append(Labelled(QStringLiteral("Fremdseriennummer"), QStringLiteral("Fremdseriennummern"),
                              device.externalSerialNumbers));
    }
    return parts;
}

QString TestLabel(TestResult result) {
    switch (result) {
        case TestResult::Passed:
            return QStringLiteral("Test: bestanden");
        case TestResult::Failed:
            return QStringLiteral("Test: nicht bestanden");
        case TestResult::Untested:
            break;
    }
    return QStringLiteral("Test: ungeprüft");
}

QString CompletenessLabel(const DeviceFacts& device) {
    if (!device.hasAssembly) {
        return QString();
    }
    const auto word = [](bool complete) {
        return complete ? QStringLiteral("vollständig") : QStringLiteral("unvollständig");
    };
    if (device.counted && device.countedComplete != device.complete) {
        return QStringLiteral("gespeichert %1, gezählt %2").arg(word(device.complete), word(device.countedComplete));
    }
    return word(device.complete);
}

QString OperationLabel(const QString& operation) {
    static const QHash<QString, QString> labels{
        {QStringLiteral("scan"), QStringLiteral("erfasst")},
        {QStringLiteral("move"), QStringLiteral("verschoben")},
        {QStringLiteral("conversion"), QStringLiteral("umgerüstet")},
        {QStringLiteral("removal"), QStringLiteral("ausgebaut")},
        {QStringLiteral("correction"), QStringLiteral("korrigiert")},
    };
    return labels.value(operation, operation);
}

QString JournalLine(const JournalEvent& event) {
    QString line = QStringLiteral("%1 %2 an %3 von %4")
                       .arg(event.time, OperationLabel(event.operation), event.workstation, event.user);
    if (!event.order.isEmpty()) {
        line += QStringLiteral(", PA ") + event.order;
    }
    if (!event.detail.isEmpty()) {
        line += QStringLiteral(": ") + event.detail;
    }
    return line;
}

QStringList JournalLines(const DeviceFacts& device) {
    if (!device.journalKnown) {
        return {QStringLiteral("Journal: nicht vorhanden (Tabelle velkor_journal fehlt)")};
    }
    if (device.journal.isEmpty()) {
        return {QStringLiteral("Journal: keine Einträge (vor Einführung des Journals erfasst)")};
    }
    QStringList lines;
    for (const JournalEvent& event : device.journal) {
        lines.append(QStringLiteral("Journal: ") + JournalLine(event));
    }
    return lines;
}
