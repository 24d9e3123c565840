#pragma once

#include <QJsonArray>
#include <QString>
#include <QTextStream>

#include "trace/OrderTypes.h"
#include "trace/TraceTypes.h"

// The three outputs of the queries: an indented text tree with the window's German labels, CSV (separator
// ";", one header line) for spreadsheets and JSON for scripts.

enum class OutputFormat { Text, Csv, Json };

void WriteGenealogy(const QList<Genealogy>& genealogies, OutputFormat format, QTextStream& out);
void WriteWhereUsed(const WhereUsed& whereUsed, OutputFormat format, QTextStream& out);

void WriteOrder(const OrderStatus& status, OutputFormat format, QTextStream& out);

void WriteGenealogyText(const QList<Genealogy>& genealogies, QTextStream& out);
void WriteWhereUsedText(const WhereUsed& whereUsed, QTextStream& out);
void WriteGenealogyCsv(const QList<Genealogy>& genealogies, QTextStream& out);
void WriteWhereUsedCsv(const WhereUsed& whereUsed, QTextStream& out);
void WriteGenealogyJson(const QList<Genealogy>& genealogies, QTextStream& out);
void WriteWhereUsedJson(const WhereUsed& whereUsed, QTextStream& out);

void WriteOrderText(const OrderStatus& status, QTextStream& out);
void WriteOrderCsv(const OrderStatus& status, QTextStream& out);
void WriteOrderJson(const OrderStatus& status, QTextStream& out);

// The cycles of a JSON output: one array of device IDs per cycle.
QJsonArray CycleArray(const QList<Cycle>& cycles);

// The message for a cycle in the assembly table, naming its devices.
QString CycleMessage(const Cycle& cycle);
