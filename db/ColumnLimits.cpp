#include "db/ColumnLimits.h"

#include <array>
#include <limits>
#include <optional>

#include "db/AssemblyDbClass.h"
#include "db/RecordSet.h"

namespace {

constexpr int kColumnCount = 4;

struct ColumnName {
    const char* table;
    const char* column;
};

// In the order of ColumnLimits::Column.
constexpr std::array<ColumnName, kColumnCount> kColumns{{
    {"device_productioncode", "ProductionCode"},
    {"device_serialnumber", "SerialNumber"},
    {"device_productionordernumber", "ProductionOrderNumber"},
    {"device_productcode", "ProductCode"},
}};

std::optional<std::array<int, kColumnCount>> lengths;

std::array<int, kColumnCount> ReadLengths(AssemblyDbClass& db) {
    QVariantList values;
    QString pairs;
    for (const ColumnName& name : kColumns) {
        pairs += pairs.isEmpty() ? QStringLiteral("(TABLE_NAME = ? AND COLUMN_NAME = ?)")
                                 : QStringLiteral(" OR (TABLE_NAME = ? AND COLUMN_NAME = ?)");
        values << QString::fromLatin1(name.table) << QString::fromLatin1(name.column);
    }
    RecordSet rs;
    db.GetDataWithQuery(
        QStringLiteral("SELECT TABLE_NAME AS TableName, COLUMN_NAME AS ColumnName, CHARACTER_MAXIMUM_LENGTH AS "
                       "MaxLength FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND (") +
            pairs + QStringLiteral(");"),
        rs, values);
    std::array<int, kColumnCount> read{};
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString table = rs.Field(QStringLiteral("TableName")).toString();
        const QString column = rs.Field(QStringLiteral("ColumnName")).toString();
        const qint64 maxLength = rs.Field(QStringLiteral("MaxLength")).toLongLong();
        for (size_t i = 0; i < kColumns.size(); ++i) {
            if (table.compare(QLatin1String(kColumns[i].table), Qt::CaseInsensitive) == 0 &&
                column.compare(QLatin1String(kColumns[i].column), Qt::CaseInsensitive) == 0) {
                // A length beyond what a value could ever reach (LONGTEXT) is not checked.
                read[i] =
                    maxLength > 0 && maxLength <= std::numeric_limits<int>::max() ? static_cast<int>(maxLength) : 0;
            }
        }
    }
    return read;
}

}  // namespace

int ColumnLimits::MaxLength(Column column) {
    if (!lengths) {
        lengths = ReadLengths(AssemblyDbClass::Shared());
    }
    return lengths->at(static_cast<size_t>(column));
}

void ColumnLimits::ReadThrough(AssemblyDbClass& db) {
    lengths = ReadLengths(db);
}

void ColumnLimits::Forget() {
    lengths.reset();
}
