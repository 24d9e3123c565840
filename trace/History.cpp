#include "trace/History.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "trace/CsvFields.h"
#include "trace/TextLabels.h"
#include "trace/TraceWarnings.h"

namespace {

void WriteText(const QList<DeviceHistory>& histories, QTextStream& out) {
    QList<CodeMatch> matches;
    for (const DeviceHistory& history : histories) {
        matches.append(history.match);
    }
    for (const TraceWarning& warning : WarningsOf(matches, {})) {
        out << warning.Text() << '\n';
    }
    for (const DeviceHistory& history : histories) {
        if (!history.match.Found()) {
            out << history.match.code << QStringLiteral(": unbekannt") << '\n';
            continue;
        }
        QStringList parts{DeviceLabel(history.device.article, history.match.devId)};
        parts += CodeLabels(history.device);
        out << QStringLiteral("Journal von %1: ").arg(history.match.code) << parts.join(QStringLiteral(", ")) << '\n';
        for (const QString& line : JournalLines(history.device)) {
            out << QStringLiteral("  ") << line.mid(line.indexOf(QLatin1Char(' ')) + 1) << '\n';
        }
    }
}

void WriteCsv(const QList<DeviceHistory>& histories, QTextStream& out) {
    WriteCsvRow({QStringLiteral("code"), QStringLiteral("device"), QStringLiteral("article"), QStringLiteral("time"),
                 QStringLiteral("operation"), QStringLiteral("workstation"), QStringLiteral("user"),
                 QStringLiteral("order"), QStringLiteral("detail"), QStringLiteral("warnings")},
                out);
    for (const DeviceHistory& history : histories) {
        const QString warning = history.match.NamesSeveral() ? QStringLiteral("several-devices") : QString();
        const QStringList head{history.match.code,
                               history.match.Found() ? QString::number(history.match.devId) : QString(),
                               history.device.article};
        if (history.device.journal.isEmpty()) {
            WriteCsvRow(head + QStringList{QString(),
                                           history.match.Found() ? QStringLiteral("none") : QStringLiteral("unknown"),
                                           QString(), QString(), QString(), QString(), warning},
                        out);
        }
        for (const JournalEvent& e : history.device.journal) {
            WriteCsvRow(head + QStringList{e.time, e.operation, e.workstation, e.user, e.order, e.detail, warning},
                        out);
        }
    }
}

void WriteJson(const QList<DeviceHistory>& histories, QTextStream& out) {
    QJsonArray results;
    QList<CodeMatch> matches;
    for (const DeviceHistory& history : histories) {
        matches.append(history.match);
        QJsonArray events;
        for (const JournalEvent& e : history.device.journal) {
            events.append(QJsonObject{{QStringLiteral("time"), e.time},
                                      {QStringLiteral("operation"), e.operation},
                                      {QStringLiteral("workstation"), e.workstation},
                                      {QStringLiteral("user"), e.user},
                                      {QStringLiteral("order"), e.order},
                                      {QStringLiteral("detail"), e.detail}});
        }
        results.append(QJsonObject{
            {QStringLiteral("code"), history.match.code},
            {QStringLiteral("found"), history.match.Found()},
            {QStringLiteral("device"), history.match.Found() ? QJsonValue(history.match.devId) : QJsonValue()},
            {QStringLiteral("article"), history.device.article},
            {QStringLiteral("journalKnown"), history.device.journalKnown},
            {QStringLiteral("journal"), events}});
    }
    const QJsonObject document{{QStringLiteral("results"), results},
                               {QStringLiteral("warnings"), WarningArray(WarningsOf(matches, {}))}};
    out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

}  // namespace

QList<DeviceHistory> FindHistory(TraceStore& store, const QString& code) {
    const QList<CodeMatch> matches = store.ResolveCodes({code});
    QList<qint32> devices;
    for (const CodeMatch& match : matches) {
        devices.append(match.devId);
    }
    const FactsByDevice facts = store.Facts(devices);
    QList<DeviceHistory> histories;
    for (const CodeMatch& match : matches) {
        histories.append(DeviceHistory{match, facts.value(match.devId)});
    }
    return histories;
}

void WriteHistory(const QList<DeviceHistory>& histories, OutputFormat format, QTextStream& out) {
    switch (format) {
        case OutputFormat::Csv:
            WriteCsv(histories, out);
            return;
        case OutputFormat::Json:
            WriteJson(histories, out);
            return;
        case OutputFormat::Text:
            WriteText(histories, out);
            return;
    }
}
