#pragma once

#include <QStringList>
#include <QTextStream>

// The program velkor-trace without its process: parses the command line (arguments[0] is the program name),
// answers on out, reports problems on err and returns the exit status.
//   0  every code was found
//   1  some codes are not recorded
//   2  usage error, no connection to the database, a database error, or a cycle in the assembly table
int RunTrace(const QStringList& arguments, QTextStream& out, QTextStream& err);

namespace TraceExit {
constexpr int kAllFound = 0;
constexpr int kSomeUnknown = 1;
constexpr int kError = 2;
}  // namespace TraceExit
