#pragma once

#include <QTextStream>

#include "trace/RecallTypes.h"
#include "trace/TraceReports.h"
#include "trace/TraceStore.h"

// "velkor-trace recall": the components the criteria select, and one line per affected final product.
RecallResult FindRecall(TraceStore& store, const RecallCriteria& criteria);

void WriteRecall(const RecallResult& result, OutputFormat format, QTextStream& out);
// The same lines as a spreadsheet (libxlsxwriter): the products on the first sheet, the criteria and counts on the
// second. The message naming the file that cannot be written, or empty.
QString WriteRecallXlsx(const RecallResult& result, const QString& path);

// The fields of one product's line, shared by CSV and the spreadsheet; the header first.
QStringList RecallHeader();
QStringList RecallFields(const RecallResult& result, const RecallProduct& product);
// "Artikel FM-53*, Lieferant 70455": the criteria as the outputs name them.
QStringList CriteriaLabels(const RecallCriteria& criteria);
