#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// The tests' own access to the private test database (a connection of its own, through the same
// ODBC data source the program uses), for setting up rows and checking what the program wrote.

// Brings the database back to the schema with the demo data (every table emptied, demo rows loaded).
void ResetTestDatabase();

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
