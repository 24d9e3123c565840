#include "db/StorableValue.h"
#include "trace/GenealogyPicture.h"
#include "trace/History.h"
#include "trace/RecallReports.h"
#include "trace/TraceCommand.h"
#include "trace/TraceQueries.h"
#include "trace/TraceRequest.h"
#include "trace/TraceWarnings.h"

// The answer of each command, and its exit status: the answer is printed whole, warnings go to standard error as
// well, and the status is the highest that applies.

namespace {

struct Outcome {
    bool unknown = false;
    QList<TraceWarning> warnings;
    QString fileError;

    int ExitStatus() const {
        if (!fileError.isEmpty()) {
            return TraceExit::kFileNotWritten;
        }
        if (!warnings.isEmpty()) {
            return TraceExit::kDoubtful;
        }
        return unknown ? TraceExit::kSomeUnknown : TraceExit::kAllFound;
    }
};

void AnswerShow(TraceStore& store, const TraceRequest& request, QTextStream& out, Outcome& outcome) {
    const QList<Genealogy> genealogies = ShowGenealogies(store, request.codes.first());
    WriteGenealogy(genealogies, request.format, out);
    for (const Genealogy& genealogy : genealogies) {
        outcome.unknown = outcome.unknown || !genealogy.match.Found();
    }
    outcome.warnings = WarningsOf(genealogies);
    if (request.picture.Wanted() && !outcome.unknown) {
        outcome.fileError = WritePicture(PictureOfGenealogy(genealogies), request.picture);
    }
}

void AnswerWhereUsed(TraceStore& store, const TraceRequest& request, QTextStream& out, Outcome& outcome) {
    const WhereUsed whereUsed = FindWhereUsed(store, request.codes);
    WriteWhereUsed(whereUsed, request.format, out);
    QList<CodeMatch> matches;
    bool anyFound = false;
    for (const CodeUsage& entry : whereUsed.codes) {
        matches.append(entry.match);
        outcome.unknown = outcome.unknown || !entry.match.Found();
        anyFound = anyFound || entry.match.Found();
    }
    outcome.warnings = WarningsOf(matches, whereUsed.cycles);
    // Nothing found is nothing to draw, as for show.
    if (request.picture.Wanted() && anyFound) {
        outcome.fileError = WritePicture(PictureOfWhereUsed(whereUsed), request.picture);
    }
}

bool AnswerOrder(TraceStore& store, const TraceRequest& request, QTextStream& out, QTextStream& err, Outcome& outcome) {
    // The order field's own check, against the column as this database defines it.
    store.ReadColumnLimits();
    const QString refusal = OrderNumberRefusal(request.codes.first());
    if (!refusal.isEmpty()) {
        err << QStringLiteral("velkor-trace: ") << refusal << '\n';
        return false;
    }
    const OrderStatus status = FindOrderStatus(store, request.codes.first());
    WriteOrder(status, request.format, out);
    outcome.unknown = !status.Known();
    outcome.warnings = WarningsOf({}, status.cycles);
    return true;
}

void AnswerRecall(TraceStore& store, const TraceRequest& request, QTextStream& out, Outcome& outcome) {
    const RecallResult result = FindRecall(store, request.criteria);
    WriteRecall(result, request.format, out);
    outcome.warnings = WarningsOf(result.ambiguous, result.cycles);
    if (!request.xlsx.isEmpty()) {
        outcome.fileError = WriteRecallXlsx(result, request.xlsx);
    }
}

void AnswerHistory(TraceStore& store, const TraceRequest& request, QTextStream& out, Outcome& outcome) {
    const QList<DeviceHistory> histories = FindHistory(store, request.codes.first());
    WriteHistory(histories, request.format, out);
    QList<CodeMatch> matches;
    for (const DeviceHistory& history : histories) {
        matches.append(history.match);
        outcome.unknown = outcome.unknown || !history.match.Found();
    }
    outcome.warnings = WarningsOf(matches, {});
}

}  // namespace

int AnswerTrace(const TraceRequest& request, QTextStream& out, QTextStream& err) {
    TraceStore store;
    if (!store.IsConnected() || !store.ConnectionError().isEmpty()) {
        err << QStringLiteral("velkor-trace: keine Verbindung zur Datenbank (ODBC-Datenquelle TestLogNew): %1")
                   .arg(store.ConnectionError())
            << '\n';
        return TraceExit::kNoDatabase;
    }
    Outcome outcome;
    if (request.command == QLatin1String("order")) {
        if (!AnswerOrder(store, request, out, err, outcome)) {
            return TraceExit::kWrongCall;
        }
    } else if (request.command == QLatin1String("show")) {
        AnswerShow(store, request, out, outcome);
    } else if (request.command == QLatin1String("recall")) {
        AnswerRecall(store, request, out, outcome);
    } else if (request.command == QLatin1String("history")) {
        AnswerHistory(store, request, out, outcome);
    } else {
        AnswerWhereUsed(store, request, out, outcome);
    }
    out.flush();
    for (const TraceWarning& warning : outcome.warnings) {
        err << QStringLiteral("velkor-trace: ") << warning.Text() << '\n';
    }
    if (!outcome.fileError.isEmpty()) {
        err << QStringLiteral("velkor-trace: ") << outcome.fileError << '\n';
    }
    return outcome.ExitStatus();
}
