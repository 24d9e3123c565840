#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "trace/GenealogyPicture.h"
#include "trace/RecallTypes.h"
#include "trace/TraceReports.h"

// One call of velkor-trace, as its command line gives it.
struct TraceRequest {
    QString command;  // show, where-used, order, recall, history
    QStringList codes;
    OutputFormat format = OutputFormat::Text;
    PictureFiles picture;
    QString xlsx;
    RecallCriteria criteria;
};

// Answers a complete request on out, warnings and problems on err; the exit status (trace/TraceCommand.h).
int AnswerTrace(const TraceRequest& request, QTextStream& out, QTextStream& err);
