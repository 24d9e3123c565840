#pragma once

#include <QString>
#include <QVariant>

// Small routines shared by every part of the program.

// True for an empty variant, a null and the empty text.
bool IsNullOrEmpty(const QVariant& value);

// Removes leading and trailing blanks (only the blank character, as every value read is trimmed).
QString TrimBlanks(const QString& text);
QString TrimTrailingBlanks(const QString& text);

// True when the text reads as a number: optional blanks, an optional sign, digits with an optional
// decimal point, an optional exponent, optional blanks. The empty text is not numeric.
bool IsNumeric(const QString& text);

// The numeric value of the number at the start of the text (leading blanks skipped, optional sign,
// then digits up to the first character that is no digit); 0 when there is none.
qint64 LeadingNumber(const QString& text);

// Drops every run from a "*" up to and including the next "*" (or to the end), then with keep false
// drops every remaining character that occurs in charSet, with keep true keeps only those.
QString FilterChars(const QString& text, const QString& charSet, bool keep, Qt::CaseSensitivity compare);

// True while the Shift key is held down.
bool IsShiftKeyDown();

// The directory of the running program.
QString ProgramDirectory();
