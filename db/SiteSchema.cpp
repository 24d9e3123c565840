#include "db/SiteSchema.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QStringList kKeyWords = {QStringLiteral("PRIMARY"),  QStringLiteral("KEY"),        QStringLiteral("UNIQUE"),
                               QStringLiteral("INDEX"),    QStringLiteral("CONSTRAINT"), QStringLiteral("FOREIGN"),
                               QStringLiteral("FULLTEXT"), QStringLiteral("SPATIAL"),    QStringLiteral("CHECK")};

QString Unquoted(QString name) {
    return name.remove(QLatin1Char('`'));
}

}  // namespace

QList<SchemaTable> ParseSchemaTables(const QString& sql) {
    static const QRegularExpression createTable(
        QStringLiteral("^CREATE\\s+TABLE\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(`?\\w+`?)\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression firstWord(QStringLiteral("^(`?\\w+`?)"));
    QList<SchemaTable> tables;
    bool inTable = false;
    for (const QString& rawLine : sql.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--"))) {
            continue;
        }
        const QRegularExpressionMatch table = createTable.match(line);
        if (table.hasMatch()) {
            tables.append({Unquoted(table.captured(1)), {}});
            inTable = true;
            continue;
        }
        if (!inTable) {
            continue;
        }
        if (line.startsWith(QLatin1Char(')'))) {
            inTable = false;
            continue;
        }
        const QRegularExpressionMatch word = firstWord.match(line);
        if (word.hasMatch() && !kKeyWords.contains(word.captured(1).toUpper())) {
            tables.last().columns.append(Unquoted(word.captured(1)));
        }
    }
    return tables;
}

QList<SchemaTable> SiteSchemaTables() {
    QFile schema(QStringLiteral(":/velkor/site-schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) {
        return {};
    }
    return ParseSchemaTables(QString::fromUtf8(schema.readAll()));
}

QStringList MissingSchemaItems(const QList<SchemaTable>& expected, const QList<SchemaTable>& present) {
    QStringList missing;
    for (const SchemaTable& table : expected) {
        const SchemaTable* found = nullptr;
        for (const SchemaTable& candidate : present) {
            if (candidate.name == table.name) {
                found = &candidate;
                break;
            }
        }
        if (found == nullptr) {
            missing.append(QStringLiteral("Tabelle ") + table.name);
            continue;
        }
        for (const QString& column : table.columns) {
            if (!found->columns.contains(column, Qt::CaseInsensitive)) {
                missing.append(QStringLiteral("Spalte %1.%2").arg(table.name, column));
            }
        }
    }
    return missing;
}

bool ReadPresentSchema(const QSqlDatabase& db, QList<SchemaTable>& present, QString& error) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT TABLE_NAME, COLUMN_NAME FROM information_schema.COLUMNS "
                                   "WHERE TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME, ORDINAL_POSITION"))) {
        error = query.lastError().text();
        return false;
    }
    present.clear();
    while (query.next()) {
        const QString table = query.value(0).toString().trimmed();
        if (present.isEmpty() || present.last().name != table) {
            present.append({table, {}});
        }
        present.last().columns.append(query.value(1).toString().trimmed());
    }
    return true;
}
