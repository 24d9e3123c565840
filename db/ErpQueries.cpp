#include "db/AssemblyDbClass.h"
#include "shell/Misc.h"

// Queries on the copies of the ERP tables (production orders, bills of materials, serial history).

QString AssemblyDbClass::GetArtNrFromPaNrKHK(const QString& paNr) {
    QString artNr;
    try {
        const QVariant value = SelectFirstValue(
            QStringLiteral("SELECT ProductCode FROM productionorder_khk WHERE ProductionOrderNumber = ?;"), {paNr},
            QStringLiteral("ProductCode"));
        if (!IsNullOrEmpty(value)) {
            artNr = value.toString();
        }
    } catch (const VelkorError& error) {
        ReportError(error, QStringLiteral("GetArtNrFromPaNrKHK"));
    }
    return artNr;
}

QString AssemblyDbClass::GetProdDescriptionFromArtNrKHK(const QString& artNr) {
    // The article number is a prefix: LIKE wildcards inside it are taken literally.
    QString pattern = artNr;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    const QVariant value =
        SelectFirstValue(QStringLiteral("SELECT Name FROM productionorder_khk WHERE ProductCode LIKE ?;"),
                         {pattern + QLatin1Char('%')}, QStringLiteral("Name"));
    return IsNullOrEmpty(value) ? QString() : value.toString();
}
