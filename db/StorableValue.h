#pragma once

#include <QString>

#include "db/ColumnLimits.h"

// Whether a scanned or entered value can be recorded as it is: checked at the entries, before the value is
// looked up or anything is written with it.

// The message that refuses the value, or the empty text when the column records it as it is. Refused are:
// - a character that is no text (a lone half of a UTF-16 surrogate pair): the database would store "?";
// - a control character: NUL cuts the value when it is read back, and carriage return, line feed, tab and
//   the others are invisible on the label, so the record would name another identifier than the one printed;
// - more characters than the column holds (as the database counts them), instead of the database refusing
//   the row halfway through the operation.
// subject names the value at the start of the message, e.g. "Der gescannte Wert".
QString StorageRefusal(const QString& value, ColumnLimits::Column column, const QString& subject);

// The refusal of a production order number that cannot be recorded with a final product: without its blanks it
// must fit its column, be a number, and its number (the order of the device's assembly, a 32-bit integer) must
// be one;
// empty when it can.
QString OrderNumberRefusal(const QString& paNr);

// The characters of a text as the database counts them: a character outside the Basic Multilingual Plane
// (an emoji) is one, not two.
int CharacterCount(const QString& text);

// The column that records a scanned value: a production code its own, anything else the serial numbers'.
ColumnLimits::Column ColumnOfScan(const QString& value);
