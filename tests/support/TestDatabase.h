#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <array>

// The tests' own access to the private test database (a connection of its own, through the same
// ODBC data source the program uses), for setting up rows and checking what the program wrote.

// Chooses the database of this test run; main() calls it before anything connects. Normally the tests use the
// data source of ODBCSYSINI, whose database scripts/test builds from db/schema.sql. With VELKOR_TEST_SCHEMA=site
// (the ctest entries site.*) they use the second server of scripts/test instead, whose database is built from
// db/site-schema.sql: its ODBC folder is VELKOR_SITE_ODBCSYSINI, and it becomes this process's ODBCSYSINI, for
// the program's connections and the programs the tests start alike. False (after saying why) when that
// folder is not given.
bool SelectTestDataSource();

// Brings the database back to the schema with the demo data (every table emptied, demo rows loaded).
void ResetTestDatabase();

// Closes the test's own connection (after the server was restarted); the next statement opens a new one.
void ReopenTestDatabase();

// Runs one statement with bound values; fails the test when the database refuses it.
void ExecTestSql(const QString& sql, const QVariantList& values = {});

// The first column of the first row, or an invalid variant when there is none.
QVariant QueryTestValue(const QString& sql, const QVariantList& values = {});

// All rows of a query, each row's columns joined by "|" (NULL as "NULL"), for comparing table contents.
QStringList QueryTestRows(const QString& sql, const QVariantList& values = {});

// The number of rows of a table matching an optional condition.
int CountTestRows(const QString& table, const QString& where = QString(), const QVariantList& values = {});

// Runs every statement of an SQL file (statements end with ";" at the end of a line).
void ExecTestSqlFile(const QString& path);

// The six tables the program writes.
constexpr int kTraceabilityTableCount = 6;
extern const char* const kTraceabilityTables[kTraceabilityTableCount];

// Every row of the six tables, each table's rows after its name, for comparing before and after.
QStringList TraceabilityRows();
// The same without the times the rows were written at: a step repeated writes the same rows later.
QStringList TraceabilityRowsWithoutTimes();

// What a step does to the six tables: taken before the step, it checks afterwards how many rows each table
// gained, and, when none should have, that every row is as it was.
class TraceabilityChange {
public:
    TraceabilityChange();
    void Expect(const std::array<int, kTraceabilityTableCount>& added) const;

private:
    static std::array<int, kTraceabilityTableCount> Counts();
    QStringList rows_;
    std::array<int, kTraceabilityTableCount> counts_;
};
