#include "db/AssemblyDbClass.h"
#include "db/ReadValues.h"
#include "shell/Misc.h"

// Queries on the copies of the ERP tables (production orders, bills of materials, serial history). The program
// never writes these tables: inside one operation (AssemblyDbClass::OperationScope) an answer read once is
// given again without asking the server.

QVariant AssemblyDbClass::ErpFirstValue(const QString& sql, const QVariantList& values, const QString& field) {
    if (operationDepth_ <= 0) {
        return SelectFirstValue(sql, values, field);
    }
    QString key = sql;
    for (const QVariant& value : values) {
        key += QChar(0x1F) + value.toString();
    }
    key += QChar(0x1F) + field;
    const auto known = erpAnswers_.constFind(key);
    if (known != erpAnswers_.constEnd()) {
        return known.value();
    }
    const QVariant value = SelectFirstValue(sql, values, field);
    erpAnswers_.insert(key, value);
    return value;
}

QString AssemblyDbClass::GetArtNrFromPaNrKHK(const QString& paNr) {
    QString artNr;
    try {
        const QVariant value = ErpFirstValue(
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
        ErpFirstValue(QStringLiteral("SELECT Name FROM productionorder_khk WHERE ProductCode LIKE ?;"),
                      {pattern + QLatin1Char('%')}, QStringLiteral("Name"));
    return TextOrEmpty(value);
}

namespace {

// A count of the bill of materials; a missing count is a data error of the ERP copy.
qint16 BillOfMatCount(const QVariant& value) {
    if (!value.isValid()) {
        return 0;  // the article has no row
    }
    if (value.isNull()) {
        throw VelkorError(94, QStringLiteral("Invalid use of Null"));
    }
    return static_cast<qint16>(value.toInt());
}

}  // namespace

QVariant AssemblyDbClass::BillOfMatFigure(const QString& sql, const QString& artNr, const QString& field) {
    if (operationDepth_ <= 0) {
        return SelectFirstValue(sql, {artNr}, field);
    }
    const QString prefix = QStringLiteral("bill of materials") + QChar(0x1F) + artNr + QChar(0x1F);
    const auto known = erpAnswers_.constFind(prefix + field);
    if (known != erpAnswers_.constEnd()) {
        return known.value();
    }
    // The test flag and the own serial count of the highest variation, the other counts of the lowest, as the
    // single queries read them.
    const RecordSet rs = Select(
        QStringLiteral("SELECT high.TestRequired, high.SerialNumberCount, low.ProductionCodeCount, "
                       "low.ExtSerialNumberCount FROM "
                       "(SELECT productioncode_count_khk.TestRequired, productioncode_count_khk.SerialNumberCount "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation DESC LIMIT 1) AS high, "
                       "(SELECT productioncode_count_khk.ProductionCodeCount, "
                       "productioncode_count_khk.ExtSerialNumberCount "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation ASC LIMIT 1) AS low"),
        {artNr, artNr});
    for (const char* name : {"TestRequired", "SerialNumberCount", "ProductionCodeCount", "ExtSerialNumberCount"}) {
        const QString figure = QLatin1String(name);
        erpAnswers_.insert(prefix + figure, rs.Eof() ? QVariant() : rs.Field(figure));
    }
    return erpAnswers_.value(prefix + field);
}

void AssemblyDbClass::ReadBillsOfMat(const QStringList& artNrs) {
    if (operationDepth_ <= 0) {
        return;
    }
    QStringList missing;
    for (const QString& artNr : artNrs) {
        const QString prefix = QStringLiteral("bill of materials") + QChar(0x1F) + artNr + QChar(0x1F);
        if (!missing.contains(artNr) && !erpAnswers_.contains(prefix + QStringLiteral("TestRequired"))) {
            missing.append(artNr);
        }
    }
    if (missing.isEmpty()) {
        return;
    }
    // Per article the same first rows the single questions read; Variants tells "no row" from a NULL figure.
    QStringList asked;
    QVariantList values;
    for (qsizetype i = 0; i < missing.size(); ++i) {
        asked.append(i == 0 ? QStringLiteral("SELECT ? AS ArtNr, 0 AS Position")
                            : QStringLiteral("SELECT ?, %1").arg(i));
        values.append(missing.at(i));
    }
    const auto figure = [](const char* column, const char* order) {
        return QStringLiteral(
                   "(SELECT counts.%1 FROM productioncode_count_khk AS counts "
                   "WHERE counts.BillOfMaterials = asked.ArtNr ORDER BY counts.Variation %2 LIMIT 1) AS %1")
            .arg(QLatin1String(column), QLatin1String(order));
    };
    RecordSet rs;
    try {
        rs = Select(QStringLiteral("SELECT asked.Position, %1, %2, %3, %4, (SELECT COUNT(*) FROM "
                                   "productioncode_count_khk AS counts WHERE counts.BillOfMaterials = asked.ArtNr) "
                                   "AS Variants FROM (%5) AS asked ORDER BY asked.Position")
                        .arg(figure("TestRequired", "DESC"), figure("SerialNumberCount", "DESC"),
                             figure("ProductionCodeCount", "ASC"), figure("ExtSerialNumberCount", "ASC"),
                             asked.join(QStringLiteral(" UNION ALL "))),
                    values);
    } catch (const VelkorError&) {
        return;  // the single questions ask again and report what goes wrong
    }
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString artNr = missing.value(rs.Field(QStringLiteral("Position")).toInt());
        const QString prefix = QStringLiteral("bill of materials") + QChar(0x1F) + artNr + QChar(0x1F);
        const bool known = rs.Field(QStringLiteral("Variants")).toInt() > 0;
        for (const char* name : {"TestRequired", "SerialNumberCount", "ProductionCodeCount", "ExtSerialNumberCount"}) {
            const QString field = QLatin1String(name);
            QVariant value = known ? rs.Field(field) : QVariant();
            if (known && !value.isValid()) {
                value = QVariant(QMetaType::fromType<int>());  // a missing figure, as the single question reads it
            }
            erpAnswers_.insert(prefix + field, value);
        }
    }
}

bool AssemblyDbClass::GetTestReqiredFromBillOfMat(const QString& artNr) {
    const QVariant required = BillOfMatFigure(
        QStringLiteral("SELECT productioncode_count_khk.TestRequired, productioncode_count_khk.Variation "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation DESC"),
        artNr, QStringLiteral("TestRequired"));
    return !IsNullOrEmpty(required) && required.toInt() == -1;
}

qint16 AssemblyDbClass::GetSerNrCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(
        QStringLiteral("SELECT productioncode_count_khk.SerialNumberCount, productioncode_count_khk.Variation "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation DESC"),
        artNr, QStringLiteral("SerialNumberCount")));
}

qint16 AssemblyDbClass::GetProdCodeCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(
        QStringLiteral("SELECT productioncode_count_khk.ProductionCodeCount, productioncode_count_khk.Variation "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation ASC"),
        artNr, QStringLiteral("ProductionCodeCount")));
}

qint16 AssemblyDbClass::GetExtSerCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(
        QStringLiteral("SELECT productioncode_count_khk.ExtSerialNumberCount, productioncode_count_khk.Variation "
                       "FROM productioncode_count_khk WHERE productioncode_count_khk.BillOfMaterials = ? "
                       "ORDER BY productioncode_count_khk.Variation ASC"),
        artNr, QStringLiteral("ExtSerialNumberCount")));
}

QString AssemblyDbClass::GetSerNrBackfitHistoryPaKHK(const QString& serNr, const QString& artNrFrom,
                                                     const QString& artNrTo) {
    const QVariant order = ErpFirstValue(
        QStringLiteral("SELECT serialnumber_prod_history_khk.ProductionOrdernumber FROM serialnumber_prod_history_khk "
                       "WHERE serialnumber_prod_history_khk.Serialnumber = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PE = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PZ = ? "
                       "ORDER BY serialnumber_prod_history_khk.ID;"),
        {serNr, artNrFrom, artNrTo}, QStringLiteral("ProductionOrdernumber"));
    // The workstation names a production order by the last six characters of the ERP order number.
    return TextOrEmpty(order).right(6);
}

bool AssemblyDbClass::IsSerNrBackfitHistoryInKHK(const QString& serNr, const QString& artNrFrom,
                                                 const QString& artNrTo) {
    const QVariant target = ErpFirstValue(
        QStringLiteral("SELECT serialnumber_prod_history_khk.Serialnumber, "
                       "serialnumber_prod_history_khk.ProductionOrdernumber, "
                       "serialnumber_prod_history_khk.Articlenumber_PE, serialnumber_prod_history_khk.Articlenumber_PZ "
                       "FROM serialnumber_prod_history_khk WHERE serialnumber_prod_history_khk.Serialnumber = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PE = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PZ = ? "
                       "ORDER BY serialnumber_prod_history_khk.ID;"),
        {serNr, artNrFrom, artNrTo}, QStringLiteral("Articlenumber_PZ"));
    return !IsNullOrEmpty(target);
}
