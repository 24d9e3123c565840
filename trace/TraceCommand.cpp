#include "trace/TraceCommand.h"

#include <QCommandLineParser>
#include <QFile>

#include "shell/Version.h"
#include "trace/TraceQueries.h"
#include "trace/TraceReports.h"

namespace {

const char* const kDescription = R"(Traceability queries on the Velkor database (read-only).

Commands:
  show CODE              The genealogy of the device that carries CODE (production code,
                         own serial number or external serial number): its final product
                         and every device below it, one line per device with article,
                         production codes, serial numbers, order (PA), completeness and the
                         latest test result. Components removed again are listed under
                         their former place, marked AUSGEBAUT with their history entry.
  where-used CODE...     For each code, every final product that contains or contained
                         its device at any depth: the path from the final product down,
                         the final product's article, order, production code and serial
                         number, and whether the component is still built in (verbaut)
                         or was removed (ausgebaut). Codes that are not recorded are
                         listed as unknown (unbekannt).

Output: an indented text tree (default), --csv (";"-separated, one header line)
or --json.

Exit status: 0 every code was found, 1 some codes are not recorded, 2 usage error,
no database connection (ODBC data source TestLogNew), database error, or a cycle
in the assembly table (named on standard error; the rest of the answer is printed).)";

struct Request {
    QString command;
    QStringList codes;
    OutputFormat format = OutputFormat::Text;
};

// Codes of a file, one a line; blanks around a code and empty lines are ignored. "-" is standard input.
bool ReadCodeFile(const QString& path, QStringList& codes, QString& error) {
    QFile file(path);
    const bool opened =
        path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        const QString code = line.trimmed();
        if (!code.isEmpty()) {
            codes.append(code);
        }
    }
    return true;
}

// Fills request from the command line; an empty result means it is complete, otherwise it is the error.
QString ParseRequest(QCommandLineParser& parser, Request& request) {
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return QStringLiteral("no command given");
    }
    request.command = positional.first();
    for (const QString& code : positional.mid(1)) {
        if (!code.trimmed().isEmpty()) {
            request.codes.append(code.trimmed());
        }
    }
    if (parser.isSet(QStringLiteral("csv")) && parser.isSet(QStringLiteral("json"))) {
        return QStringLiteral("--csv and --json exclude each other");
    }
    request.format = parser.isSet(QStringLiteral("csv"))    ? OutputFormat::Csv
                     : parser.isSet(QStringLiteral("json")) ? OutputFormat::Json
                                                            : OutputFormat::Text;
    if (request.command == QLatin1String("show")) {
        if (parser.isSet(QStringLiteral("from"))) {
            return QStringLiteral("--from belongs to where-used");
        }
        return request.codes.size() == 1 ? QString() : QStringLiteral("show takes exactly one code");
    }
    if (request.command != QLatin1String("where-used")) {
        return QStringLiteral("unknown command \"%1\"").arg(request.command);
    }
    QString error;
    if (parser.isSet(QStringLiteral("from")) &&
        !ReadCodeFile(parser.value(QStringLiteral("from")), request.codes, error)) {
        return error;
    }
    request.codes.removeDuplicates();
    return request.codes.isEmpty() ? QStringLiteral("where-used needs at least one code") : QString();
}

int Answer(const Request& request, QTextStream& out, QTextStream& err) {
    TraceStore store;
    if (!store.IsConnected()) {
        err << QStringLiteral("velkor-trace: no connection to the database (ODBC data source TestLogNew): %1")
                   .arg(store.ConnectionError())
            << '\n';
        return TraceExit::kError;
    }
    bool allFound = true;
    QList<Cycle> cycles;
    if (request.command == QLatin1String("show")) {
        const Genealogy genealogy = ShowGenealogy(store, request.codes.first());
        WriteGenealogy(genealogy, request.format, out);
        allFound = genealogy.match.Found();
        cycles = genealogy.cycles;
    } else {
        const WhereUsed whereUsed = FindWhereUsed(store, request.codes);
        WriteWhereUsed(whereUsed, request.format, out);
        for (const CodeUsage& entry : whereUsed.codes) {
            allFound = allFound && entry.match.Found();
        }
        cycles = whereUsed.cycles;
    }
    out.flush();
    for (const Cycle& cycle : cycles) {
        err << QStringLiteral("velkor-trace: ") << CycleMessage(cycle) << '\n';
    }
    if (!cycles.isEmpty()) {
        return TraceExit::kError;
    }
    return allFound ? TraceExit::kAllFound : TraceExit::kSomeUnknown;
}

}  // namespace

int RunTrace(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOption(version);
    parser.addOption({QStringLiteral("csv"), QStringLiteral("Write CSV for spreadsheets.")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("Write JSON for scripts.")});
    parser.addOption({QStringLiteral("from"),
                      QStringLiteral("where-used: read the codes from FILE, one a line (\"-\": standard input)."),
                      QStringLiteral("FILE")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("show or where-used"));
    parser.addPositionalArgument(QStringLiteral("codes"), QStringLiteral("Production codes or serial numbers."),
                                 QStringLiteral("CODE..."));

    Request request;
    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (parser.isSet(help)) {
        out << parser.helpText();
        return TraceExit::kAllFound;
    } else if (parser.isSet(version)) {
        out << QStringLiteral("velkor-trace ") << ProgramVersion() << '\n';
        return TraceExit::kAllFound;
    } else {
        error = ParseRequest(parser, request);
    }
    if (!error.isEmpty()) {
        err << QStringLiteral(
                   "velkor-trace: %1\nUsage: velkor-trace show CODE | where-used CODE... | where-used "
                   "--from FILE  [--csv | --json]  (velkor-trace --help)")
                   .arg(error)
            << '\n';
        return TraceExit::kError;
    }
    try {
        return Answer(request, out, err);
    } catch (const VelkorError& failure) {
        out.flush();
        err << QStringLiteral("velkor-trace: database error: %1").arg(failure.Description()) << '\n';
        return TraceExit::kError;
    }
}
