#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Lists of codes and devices travel as one JSON array bound as a single value; JSON_TABLE turns it into rows
// on the server, so a statement has the same text for one code or for thousands.
namespace trace_sql {

// The device IDs of a bound JSON array as rows "ids.dev".
inline constexpr char kDeviceRows[] = "JSON_TABLE(CONVERT(? USING utf8mb4), '$[*]' COLUMNS (dev INT PATH '$')) AS ids";

QString JsonList(const QStringList& texts);
// Each number once.
QString JsonList(const QList<qint32>& numbers);

}  // namespace trace_sql
