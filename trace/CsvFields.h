#pragma once

#include <QStringList>
#include <QTextStream>

// The CSV conventions of velkor-trace: ";" between fields (what a German spreadsheet expects), a field with ";",
// a quote or a line break between double quotes, several values in one field separated by "|".

// One row; missing fields at the end (up to columns) are written empty, so every row has the header's fields.
void WriteCsvRow(const QStringList& fields, QTextStream& out, int columns = 0);
