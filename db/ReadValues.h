#pragma once

#include <QString>
#include <QVariant>

#include "shell/Misc.h"

// Conversions of values read from the database into the results of the operations.

// A key or number as a 32-bit integer in a variant; nothing read stays empty.
inline QVariant NumberOrEmpty(const QVariant& value) {
    return IsNullOrEmpty(value) ? QVariant() : QVariant(value.toInt());
}

// A text; nothing read is the empty text.
inline QString TextOrEmpty(const QVariant& value) {
    return IsNullOrEmpty(value) ? QString() : value.toString();
}

// The 16-bit count of a statement that always yields one row.
inline qint16 CountOrZero(const QVariant& value) {
    return static_cast<qint16>(IsNullOrEmpty(value) ? 0 : value.toInt());
}
