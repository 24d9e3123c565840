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

// A failed question raises its error: an order that cannot be read is no unknown order, and the caller's error
// ending reports it instead of a refusal.
QString AssemblyDbClass::GetArtNrFromPaNrKHK(const QString& paNr) {
    const QVariant value =
        ErpFirstValue(QStringLiteral("SELECT ProductCode FROM productionorder_khk WHERE ProductionOrderNumber = ?;"),
                      {paNr}, QStringLiteral("ProductCode"));
    return IsNullOrEmpty(value) ? QString() : value.toString();
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

// The four figures of an article's bill of materials and the variation each is read from: the test flag and
// the own serial count from the highest variation, the production code and external serial counts from the
// lowest.
struct BillOfMatColumn {
    const char* figure;
    const char* variationOrder;
};
constexpr BillOfMatColumn kBillOfMatColumns[] = {{"TestRequired", "DESC"},
                                                 {"SerialNumberCount", "DESC"},
                                                 {"ProductionCodeCount", "ASC"},
                                                 {"ExtSerialNumberCount", "ASC"}};

const char* VariationOrderOf(const char* figure) {
    for (const BillOfMatColumn& column : kBillOfMatColumns) {
        if (qstrcmp(column.figure, figure) == 0) {
            return column.variationOrder;
        }
    }
    return "ASC";
}

// Where an operation keeps a figure of an article.
QString BillOfMatKey(const QString& artNr, const QString& figure) {
    return QStringLiteral("bill of materials") + QChar(0x1F) + artNr + QChar(0x1F) + figure;
}

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

QVariant AssemblyDbClass::BillOfMatFigure(const QString& artNr, const char* figure) {
    if (operationDepth_ > 0) {
        ReadBillsOfMat({artNr});
        const auto known = erpAnswers_.constFind(BillOfMatKey(artNr, QLatin1String(figure)));
        if (known != erpAnswers_.constEnd()) {
            return known.value();
        }
    }
    return SelectFirstValue(QStringLiteral("SELECT counts.%1 FROM productioncode_count_khk AS counts "
                                           "WHERE counts.BillOfMaterials = ? ORDER BY counts.Variation %2")
                                .arg(QLatin1String(figure), QLatin1String(VariationOrderOf(figure))),
                            {artNr}, QLatin1String(figure));
}

void AssemblyDbClass::ReadBillsOfMat(const QStringList& artNrs) {
    if (operationDepth_ <= 0) {
        return;
    }
    QStringList missing;
    for (const QString& artNr : artNrs) {
        if (!missing.contains(artNr) && !erpAnswers_.contains(BillOfMatKey(artNr, QStringLiteral("TestRequired")))) {
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
    QStringList figures;
    for (const BillOfMatColumn& column : kBillOfMatColumns) {
        figures.append(
            QStringLiteral("(SELECT counts.%1 FROM productioncode_count_khk AS counts "
                           "WHERE counts.BillOfMaterials = asked.ArtNr ORDER BY counts.Variation %2 LIMIT 1) "
                           "AS %1")
                .arg(QLatin1String(column.figure), QLatin1String(column.variationOrder)));
    }
    RecordSet rs;
    try {
        rs = Select(QStringLiteral("SELECT asked.Position, %1, (SELECT COUNT(*) FROM productioncode_count_khk AS "
                                   "counts WHERE counts.BillOfMaterials = asked.ArtNr) AS Variants FROM (%2) AS asked "
                                   "ORDER BY asked.Position")
                        .arg(figures.join(QStringLiteral(", ")), asked.join(QStringLiteral(" UNION ALL "))),
                    values);
    } catch (const VelkorError&) {
        return;  // the single questions ask again and report what goes wrong
    }
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString artNr = missing.value(rs.Field(QStringLiteral("Position")).toInt());
        const bool known = rs.Field(QStringLiteral("Variants")).toInt() > 0;
        for (const BillOfMatColumn& column : kBillOfMatColumns) {
            const QString field = QLatin1String(column.figure);
            QVariant value = known ? rs.Field(field) : QVariant();
            if (known && !value.isValid()) {
                value = QVariant(QMetaType::fromType<int>());  // a missing figure, as the single question reads it
            }
            erpAnswers_.insert(BillOfMatKey(artNr, field), value);
        }
    }
}

bool AssemblyDbClass::GetTestReqiredFromBillOfMat(const QString& artNr) {
    const QVariant required = BillOfMatFigure(artNr, "TestRequired");
    return !IsNullOrEmpty(required) && required.toInt() == -1;
}

qint16 AssemblyDbClass::GetSerNrCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(artNr, "SerialNumberCount"));
}

qint16 AssemblyDbClass::GetProdCodeCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(artNr, "ProductionCodeCount"));
}

qint16 AssemblyDbClass::GetExtSerCountFromBillOfMat(const QString& artNr) {
    return BillOfMatCount(BillOfMatFigure(artNr, "ExtSerialNumberCount"));
}

// A conversion the ERP copy records under several orders is named by the earliest of them (ERP order numbers
// ascend with time), an order that names none coming last; both questions read the same row.
QString AssemblyDbClass::GetSerNrBackfitHistoryPaKHK(const QString& serNr, const QString& artNrFrom,
                                                     const QString& artNrTo) {
    const QVariant order = ErpFirstValue(
        QStringLiteral("SELECT serialnumber_prod_history_khk.ProductionOrdernumber FROM serialnumber_prod_history_khk "
                       "WHERE serialnumber_prod_history_khk.Serialnumber = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PE = ? "
                       "AND serialnumber_prod_history_khk.Articlenumber_PZ = ? "
                       "ORDER BY serialnumber_prod_history_khk.ProductionOrdernumber IS NULL, "
                       "serialnumber_prod_history_khk.ProductionOrdernumber;"),
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
                       "ORDER BY serialnumber_prod_history_khk.ProductionOrdernumber IS NULL, "
                       "serialnumber_prod_history_khk.ProductionOrdernumber;"),
        {serNr, artNrFrom, artNrTo}, QStringLiteral("Articlenumber_PZ"));
    return !IsNullOrEmpty(target);
}
