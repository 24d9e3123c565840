#include "trace/TraceCommand.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include "shell/Misc.h"
#include "shell/VelkorError.h"
#include "shell/Version.h"
#include "trace/TraceHelp.h"
#include "trace/TraceRequest.h"

namespace {

// The options that take a value, with the name of the value in the help.
const QStringList kValueOptions{
    QStringLiteral("from"),     QStringLiteral("svg"),   QStringLiteral("dot"),      QStringLiteral("xlsx"),
    QStringLiteral("article"),  QStringLiteral("codes"), QStringLiteral("recorded"), QStringLiteral("order-recorded"),
    QStringLiteral("supplier"), QStringLiteral("order"), QStringLiteral("scanned"),  QStringLiteral("workstation"),
    QStringLiteral("user")};
const QStringList kRecallOptions = kValueOptions.mid(4);

// Codes of a file, one a line; blanks around a code and empty lines are ignored. "-" is standard input.
bool ReadCodeFile(const QString& path, QStringList& codes, QString& error) {
    QFile file(path);
    const bool opened =
        path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        error = QStringLiteral("%1 kann nicht gelesen werden: %2").arg(path, file.errorString());
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

// A time as the database compares it; a date alone as its first or (upper end) its last moment.
bool TimeBound(const QString& text, bool upper, QString& bound) {
    if (text.isEmpty()) {
        return true;
    }
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid()) {
        bound = text + (upper ? QStringLiteral(" 23:59:59.999999") : QStringLiteral(" 00:00:00"));
        return true;
    }
    for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm"}) {
        const QDateTime time = QDateTime::fromString(text, QLatin1String(format));
        if (!time.isValid()) {
            continue;
        }
        const bool seconds = QLatin1String(format).endsWith(QLatin1String(":ss"));
        if (!upper) {
            bound = time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        } else if (seconds) {
            bound = time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(".999999");
        } else {
            bound = time.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(":59.999999");
        }
        return true;
    }
    return false;
}

// "VON..BIS" with either end left open; times where asked for. Empty: fine, else the error.
QString ParseRange(const QString& option, const QString& value, bool times, TextRange& range) {
    const int dots = value.indexOf(QLatin1String(".."));
    const QString from = (dots < 0 ? value : value.left(dots)).trimmed();
    const QString to = (dots < 0 ? value : value.mid(dots + 2)).trimmed();
    if (from.isEmpty() && to.isEmpty()) {
        return QStringLiteral("--%1 braucht einen Bereich VON..BIS").arg(option);
    }
    range.given = value.trimmed();
    if (!times) {
        range.from = from;
        range.to = to;
        return QString();
    }
    if (!TimeBound(from, false, range.from) || !TimeBound(to, true, range.to)) {
        return QStringLiteral("--%1: \"%2\" ist kein Datum (JJJJ-MM-TT oder JJJJ-MM-TT hh:mm[:ss])").arg(option, value);
    }
    return QString();
}

QString ParseCriteria(const QCommandLineParser& parser, RecallCriteria& criteria) {
    const auto value = [&](const char* name) { return parser.value(QLatin1String(name)).trimmed(); };
    criteria.article = value("article");
    criteria.supplier = value("supplier");
    criteria.order = value("order");
    criteria.workstation = value("workstation");
    criteria.user = value("user");
    const struct {
        const char* option;
        bool times;
        TextRange* range;
    } ranges[] = {{"codes", false, &criteria.codes},
                  {"recorded", true, &criteria.recorded},
                  {"order-recorded", true, &criteria.ordered},
                  {"scanned", true, &criteria.scanned}};
    for (const auto& range : ranges) {
        if (parser.isSet(QLatin1String(range.option))) {
            const QString error =
                ParseRange(QLatin1String(range.option), value(range.option), range.times, *range.range);
            if (!error.isEmpty()) {
                return error;
            }
        }
    }
    return criteria.Any() ? QString() : QStringLiteral("recall braucht mindestens ein Kriterium");
}

// The order number as the ERP's order table spells it: the padded form of its history table (000240104) without
// its leading zeros.
QString OrderWithoutPadding(const QString& paNr) {
    static const QRegularExpression padded(QStringLiteral("^0+(\\d+)$"));
    const QRegularExpressionMatch match = padded.match(paNr);
    return match.hasMatch() ? match.captured(1) : paNr;
}

bool IsSet(const QCommandLineParser& parser, const QStringList& options) {
    return std::any_of(options.begin(), options.end(), [&](const QString& name) { return parser.isSet(name); });
}

// Fills request from the command line; an empty result means it is complete, otherwise it is the error.
QString ParseRequest(const QCommandLineParser& parser, TraceRequest& request) {
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return QStringLiteral("kein Befehl angegeben");
    }
    request.command = positional.first();
    for (const QString& code : positional.mid(1)) {
        if (!code.trimmed().isEmpty()) {
            request.codes.append(code.trimmed());
        }
    }
    if (parser.isSet(QStringLiteral("csv")) && parser.isSet(QStringLiteral("json"))) {
        return QStringLiteral("--csv und --json schließen einander aus");
    }
    request.format = parser.isSet(QStringLiteral("csv"))    ? OutputFormat::Csv
                     : parser.isSet(QStringLiteral("json")) ? OutputFormat::Json
                                                            : OutputFormat::Text;
    request.picture.svg = parser.value(QStringLiteral("svg"));
    request.picture.dot = parser.value(QStringLiteral("dot"));
    request.xlsx = parser.value(QStringLiteral("xlsx"));
    const QString& command = request.command;
    const bool known = command == QLatin1String("show") || command == QLatin1String("where-used") ||
                       command == QLatin1String("order") || command == QLatin1String("recall") ||
                       command == QLatin1String("history");
    if (!known) {
        return QStringLiteral("unbekannter Befehl \"%1\"").arg(command);
    }
    if (parser.isSet(QStringLiteral("from")) && command != QLatin1String("where-used")) {
        return QStringLiteral("--from gehört zu where-used");
    }
    if (request.picture.Wanted() && command != QLatin1String("show") && command != QLatin1String("where-used")) {
        return QStringLiteral("--svg und --dot gehören zu show und where-used");
    }
    if (!request.xlsx.isEmpty() && command != QLatin1String("recall")) {
        return QStringLiteral("--xlsx gehört zu recall");
    }
    if (IsSet(parser, kRecallOptions) && command != QLatin1String("recall")) {
        return QStringLiteral("die Kriterien (--article, --codes, …) gehören zu recall");
    }
    if (command == QLatin1String("order")) {
        if (request.codes.size() != 1) {
            return QStringLiteral("order nimmt genau eine Auftragsnummer");
        }
        request.codes.first() = OrderWithoutPadding(TrimBlanks(request.codes.first()));
        return QString();
    }
    if (command == QLatin1String("show") || command == QLatin1String("history")) {
        return request.codes.size() == 1 ? QString() : QStringLiteral("%1 nimmt genau einen Code").arg(command);
    }
    if (command == QLatin1String("recall")) {
        if (!request.codes.isEmpty()) {
            return QStringLiteral("recall nimmt keine Codes, nur Kriterien (--article, --codes, …)");
        }
        return ParseCriteria(parser, request.criteria);
    }
    QString error;
    if (parser.isSet(QStringLiteral("from")) &&
        !ReadCodeFile(parser.value(QStringLiteral("from")), request.codes, error)) {
        return error;
    }
    request.codes.removeDuplicates();
    return request.codes.isEmpty() ? QStringLiteral("where-used braucht mindestens einen Code") : QString();
}

// The parser's complaint in German: an option it does not know, or an option without its value.
QString ParseError(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        return QStringLiteral("unbekannte Option \"%1%2\"")
            .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), unknown.first());
    }
    for (const QString& option : kValueOptions) {
        if (arguments.last() == QStringLiteral("--") + option) {
            return QStringLiteral("nach --%1 fehlt der Wert").arg(option);
        }
    }
    return parser.errorText();
}

// An argument that starts with a minus and a digit is a negative number to the user and a row of one-letter options
// to the parser: neither a code nor an order number.
QString NegativeArgument(const QStringList& arguments) {
    static const QRegularExpression negative(QStringLiteral("^-\\d"));
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--")) {
            break;
        }
        if (negative.match(argument).hasMatch()) {
            return QStringLiteral("\"%1\" ist weder ein Code noch eine Auftragsnummer (beginnt mit einem Minus)")
                .arg(argument);
        }
    }
    return QString();
}

}  // namespace

int RunTrace(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"), QString());
    parser.addOption(version);
    parser.addOption({QStringLiteral("csv"), QString()});
    parser.addOption({QStringLiteral("json"), QString()});
    for (const QString& option : kValueOptions) {
        parser.addOption({option, QString(), QStringLiteral("WERT")});
    }
    TraceRequest request;
    QString error = NegativeArgument(arguments);
    if (!error.isEmpty()) {
        // named before the parser reads it as options
    } else if (!parser.parse(arguments)) {
        error = ParseError(parser, arguments);
    } else if (parser.isSet(help)) {
        out << QString::fromUtf8(TraceHelpText());
        return TraceExit::kAllFound;
    } else if (parser.isSet(version)) {
        out << QStringLiteral("velkor-trace ") << ProgramVersion() << '\n';
        return TraceExit::kAllFound;
    } else {
        error = ParseRequest(parser, request);
    }
    if (!error.isEmpty()) {
        err << QStringLiteral("velkor-trace: %1\n%2").arg(error, QString::fromUtf8(TraceUsageLine())) << '\n';
        return TraceExit::kWrongCall;
    }
    try {
        return AnswerTrace(request, out, err);
    } catch (const VelkorError& failure) {
        out.flush();
        err << QStringLiteral("velkor-trace: Datenbankfehler: %1").arg(failure.Description()) << '\n';
        return TraceExit::kNoDatabase;
    }
}
