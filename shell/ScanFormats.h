#pragma once

#include <QVariant>

// The formats of scanned identifiers: which values count as production codes and which as serial numbers.

// A production code is "P" followed by a numeric rest ("P" alone is none); case-sensitive.
bool IsProdCodeFormat(const QVariant& value);

// Whether a value matches one of the known serial-number patterns. A value that matches none and is no
// production code may still be a serial number: the one recorded as some device's external serial
// (IsSerNrFormat in db/SerNrFormat.h asks the database that question).
bool IsSerNrPatternFormat(const QVariant& value);
