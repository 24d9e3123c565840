#pragma once

#include <QStringList>
#include <QTextStream>

// The program velkor-trace without its process: parses the command line (arguments[0] is the program name),
// answers on out, reports problems on err and returns the exit status (the highest that applies).
int RunTrace(const QStringList& arguments, QTextStream& out, QTextStream& err);

namespace TraceExit {
constexpr int kAllFound = 0;        // every code (or the order) was found
constexpr int kSomeUnknown = 1;     // some codes (or the order) are not recorded; the answer is printed
constexpr int kWrongCall = 2;       // usage error or a refused order number; nothing is printed
constexpr int kNoDatabase = 3;      // no connection to the database, or a database error
constexpr int kDoubtful = 4;        // a cycle in the assembly table or a code naming several devices; printed
constexpr int kFileNotWritten = 5;  // a picture or spreadsheet file could not be written; the answer is printed
}  // namespace TraceExit
