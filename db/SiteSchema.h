#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables and columns the program reads and writes: those of db/site-schema.sql, built into the program.
struct SchemaTable {
    QString name;
    QStringList columns;
};

// The tables of CREATE TABLE statements (one column or key a line, as db/site-schema.sql is written).
QList<SchemaTable> ParseSchemaTables(const QString& sql);

// The tables and columns of db/site-schema.sql.
QList<SchemaTable> SiteSchemaTables();

// What of expected the database lacks, given the columns it has per table: "Tabelle name" for a missing table,
// "Spalte table.column" for a missing column of a table that is there. Table names compare exactly (as the
// server does on Linux), column names without regard to case.
QStringList MissingSchemaItems(const QList<SchemaTable>& expected, const QList<SchemaTable>& present);

// The tables and columns of the connection's current database (information_schema); false when they cannot
// be read.
bool ReadPresentSchema(const QSqlDatabase& db, QList<SchemaTable>& present, QString& error);
