#pragma once

#include <QVariant>

// The formats of scanned identifiers: which values count as production codes and which as serial numbers.

// A production code is "P" followed by a numeric rest ("P" alone is none); case-sensitive.
bool IsProdCodeFormat(const QVariant& value);

// A serial number matches one of the known serial patterns, or, when it matches none and is no
// production code, is already recorded as the external serial number of some device.
bool IsSerNrFormat(const QVariant& value);
