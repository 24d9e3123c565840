#include "trace/TextLabels.h"

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
