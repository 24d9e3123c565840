#pragma once

#include <QString>
#include <ostream>

// Readable failure output for texts (and lists of texts) in the tree tests.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
