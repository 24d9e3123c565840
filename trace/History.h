#pragma once

#include <QList>
#include <QTextStream>

#include "trace/TraceReports.h"
#include "trace/TraceStore.h"

// "velkor-trace history CODE": the journal of every device the code names, in time order.
struct DeviceHistory {
    CodeMatch match;
    DeviceFacts device;
};

QList<DeviceHistory> FindHistory(TraceStore& store, const QString& code);
void WriteHistory(const QList<DeviceHistory>& histories, OutputFormat format, QTextStream& out);
