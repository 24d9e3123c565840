#include "trace/TraceCommand.h"

#include <QCommandLineParser>
#include <QFile>

#include "db/StorableValue.h"
#include "shell/Misc.h"
#include "shell/Version.h"
#include "trace/GenealogyPicture.h"
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
  order PA               Where the production order PA stands: every final product
                         recorded under it with production code, serial number,
                         completeness (as the workstation counts it against the ERP
                         bill of materials) and latest test result; for an incomplete
                         one each expected position with expected and recorded codes
                         and serial numbers, and the positions without a device;
                         sub-assemblies built under another order; then the totals.

Output: an indented text tree (default), --csv (";"-separated, one header line)
or --json. show and where-used also draw the genealogy as a picture with
--svg FILE (laid out by Graphviz) and write its Graphviz source with --dot FILE.

Exit status: 0 every code (or the order) was found, 1 some codes (or the order)
are not recorded, 2 usage error, a refused order number, a picture that cannot
be written, no database connection (ODBC data source TestLogNew), database error,
or a cycle in the assembly table (named on standard error; the rest of the answer
is printed).)";

struct Request {
    QString command;
    QStringList codes;
    OutputFormat format = OutputFormat::Text;
    PictureFiles picture;
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
    request.picture.svg = parser.value(QStringLiteral("svg"));
    request.picture.dot = parser.value(QStringLiteral("dot"));
    if (request.command == QLatin1String("order")) {
        if (parser.isSet(QStringLiteral("from"))) {
            return QStringLiteral("--from belongs to where-used");
        }
        if (request.picture.Wanted()) {
            return QStringLiteral("--svg and --dot belong to show and where-used");
        }
        return request.codes.size() == 1 ? QString() : QStringLiteral("order takes exactly one order number");
    }
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
    QString pictureError;
    if (request.command == QLatin1String("order")) {
        // The order field's own check, against the column as this database defines it.
        store.ReadColumnLimits();
        const QString refusal = OrderNumberRefusal(request.codes.first());
        if (!refusal.isEmpty()) {
            err << QStringLiteral("velkor-trace: ") << refusal << '\n';
            return TraceExit::kError;
        }
        const OrderStatus status = FindOrderStatus(store, TrimBlanks(request.codes.first()));
        WriteOrder(status, request.format, out);
        allFound = status.Known();
        cycles = status.cycles;
    } else if (request.command == QLatin1String("show")) {
        const Genealogy genealogy = ShowGenealogy(store, request.codes.first());
        if (request.picture.Wanted() && genealogy.match.Found()) {
            pictureError = WritePicture(PictureOfGenealogy(genealogy), request.picture);
        }
        if (pictureError.isEmpty()) {
            WriteGenealogy(genealogy, request.format, out);
        }
        allFound = genealogy.match.Found();
        cycles = genealogy.cycles;
    } else {
        const WhereUsed whereUsed = FindWhereUsed(store, request.codes);
        for (const CodeUsage& entry : whereUsed.codes) {
            allFound = allFound && entry.match.Found();
        }
        if (request.picture.Wanted()) {
            pictureError = WritePicture(PictureOfWhereUsed(whereUsed), request.picture);
        }
        if (pictureError.isEmpty()) {
            WriteWhereUsed(whereUsed, request.format, out);
        }
        cycles = whereUsed.cycles;
    }
    if (!pictureError.isEmpty()) {
        err << QStringLiteral("velkor-trace: ") << pictureError << '\n';
        return TraceExit::kError;
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
    parser.addOption({QStringLiteral("svg"),
                      QStringLiteral("show, where-used: draw the genealogy as an SVG picture into FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("dot"),
                      QStringLiteral("show, where-used: write the picture's Graphviz source into FILE."),
                      QStringLiteral("FILE")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("show, where-used or order"));
    parser.addPositionalArgument(QStringLiteral("codes"),
                                 QStringLiteral("Production codes or serial numbers; for order the order number."),
                                 QStringLiteral("CODE... | PA"));

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
                   "--from FILE | order PA  [--csv | --json]  [--svg FILE] [--dot FILE]  (velkor-trace --help)")
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
