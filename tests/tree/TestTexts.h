#pragma once

#include <QString>
#include <ostream>

// Readable failure output for texts (and lists of texts) in the tree tests.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A run of blanks, as the node texts pad article numbers with.
inline QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}
