#pragma once

#include <QDateTime>
#include <QString>

// File dates as the update check compares them.

// The zero date-time, 1899-12-30 00:00:00: the value of a date that could not be read. Every real
// file date is later.
QDateTime ZeroDateTime();

// True for a date-time whose calendar fields are those of the zero date-time.
bool IsZeroDateTime(const QDateTime& value);

// The calendar fields of a file time in universal time, milliseconds dropped; no conversion to local
// time. The result is marked as universal time. An invalid file time yields the zero
// date-time.
QDateTime FileTimeToDate(const QDateTime& fileTime);

// The last-write time of the file at path, through FileTimeToDate. A file that does not exist or
// cannot be opened for reading yields the zero date-time.
QDateTime GetLocalFileDate(const QString& path);
