#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <cstdio>

namespace {

const char* const kTablesInResetOrder[] = {"device",
                                           "device_assembly",
                                           "device_productioncode",
                                           "device_serialnumber",
                                           "device_productionordernumber",
                                           "device_productcode",
                                           "testpass",
                                           "testitem",
                                           "productionorder_khk",
                                           "productionorder_hierarchy_khk",
                                           "productioncode_count_khk",
                                           "serialnumber_prod_history_khk"};

QSqlDatabase TestConnection() {
    const QString name = QStringLiteral("velkor_test_admin");
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name);
        if (db.isOpen()) {
            return db;
        }
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    db.setDatabaseName(QStringLiteral("TestLogNew;UID=testlog;PWD=Pmex514;DATABASE=testlog"));
    if (!db.open()) {
        ADD_FAILURE() << "Cannot open the test database: " << db.lastError().text().toStdString()
                      << " (run the tests through scripts/test)";
    }
    return db;
}

QSqlQuery RunQuery(const QString& sql, const QVariantList& values) {
    QSqlQuery query(TestConnection());
    bool ok = query.prepare(sql);
    for (const QVariant& value : values) {
        // Texts as UTF-8 bytes, as the program binds them (see AssemblyDbClass).
        query.addBindValue(value.typeId() == QMetaType::QString && !value.isNull() ? QVariant(value.toString().toUtf8())
                                                                                   : value);
    }
    ok = ok && query.exec();
    if (!ok) {
        ADD_FAILURE() << "Test SQL failed: " << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }
    return query;
}

}  // namespace

bool SelectTestDataSource() {
    if (qEnvironmentVariable("VELKOR_TEST_SCHEMA") != QLatin1String("site")) {
        return true;
    }
    const QByteArray siteOdbc = qgetenv("VELKOR_SITE_ODBCSYSINI");
    if (siteOdbc.isEmpty()) {
        std::fprintf(stderr,
                     "VELKOR_TEST_SCHEMA=site needs VELKOR_SITE_ODBCSYSINI, the ODBC folder of the database built "
                     "from db/site-schema.sql (run the tests through scripts/test)\n");
        return false;
    }
    qputenv("ODBCSYSINI", siteOdbc);
    return true;
}

void ExecTestSql(const QString& sql, const QVariantList& values) {
    RunQuery(sql, values);
}

QVariant QueryTestValue(const QString& sql, const QVariantList& values) {
    QSqlQuery query = RunQuery(sql, values);
    if (query.next()) {
        return query.value(0);
    }
    return QVariant();
}

QStringList QueryTestRows(const QString& sql, const QVariantList& values) {
    QSqlQuery query = RunQuery(sql, values);
    QStringList rows;
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            columns.append(value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        rows.append(columns.join(QLatin1Char('|')));
    }
    return rows;
}

int CountTestRows(const QString& table, const QString& where, const QVariantList& values) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + where;
    }
    return QueryTestValue(sql, values).toInt();
}

void ExecTestSqlFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "Cannot read " << path.toStdString();
        return;
    }
    QString statement;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QStringLiteral("--"))) {
            continue;
        }
        statement += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            ExecTestSql(statement.trimmed());
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty()) {
        ExecTestSql(statement.trimmed());
    }
}

void ReopenTestDatabase() {
    QSqlDatabase::database(QStringLiteral("velkor_test_admin"), false).close();
}

void ResetTestDatabase() {
    for (const char* table : kTablesInResetOrder) {
        ExecTestSql(QStringLiteral("TRUNCATE TABLE ") + QLatin1String(table));
    }
    ExecTestSqlFile(QStringLiteral(VELKOR_SOURCE_DIR "/demo/demo_data.sql"));
}

const char* const kTraceabilityTables[kTraceabilityTableCount] = {"device",
                                                                  "device_assembly",
                                                                  "device_productioncode",
                                                                  "device_serialnumber",
                                                                  "device_productionordernumber",
                                                                  "device_productcode"};

QStringList TraceabilityRows() {
    QStringList rows;
    for (const char* table : kTraceabilityTables) {
        rows.append(QLatin1String(table));
        // Sorted as whole rows: not every table has a row key to order by.
        QStringList tableRows = QueryTestRows(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
        tableRows.sort();
        rows += tableRows;
    }
    return rows;
}

QStringList TraceabilityRowsWithoutTimes() {
    static const QRegularExpression time(QStringLiteral("\\|\\d{4}-\\d\\d-\\d\\dT[0-9:.]+"));
    QStringList rows = TraceabilityRows();
    for (QString& row : rows) {
        row.remove(time);
    }
    return rows;
}

TraceabilityChange::TraceabilityChange() : rows_(TraceabilityRows()), counts_(Counts()) {}

std::array<int, kTraceabilityTableCount> TraceabilityChange::Counts() {
    std::array<int, kTraceabilityTableCount> counts{};
    for (int i = 0; i < kTraceabilityTableCount; ++i) {
        counts[static_cast<size_t>(i)] = CountTestRows(QLatin1String(kTraceabilityTables[i]));
    }
    return counts;
}

void TraceabilityChange::Expect(const std::array<int, kTraceabilityTableCount>& added) const {
    const std::array<int, kTraceabilityTableCount> now = Counts();
    for (size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i] - counts_[i], added[i]) << "rows added to " << kTraceabilityTables[i];
    }
    if (added == std::array<int, kTraceabilityTableCount>{}) {
        EXPECT_EQ(TraceabilityRows().join(QLatin1Char('\n')).toStdString(),
                  rows_.join(QLatin1Char('\n')).toStdString());
    }
}
