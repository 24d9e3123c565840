#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>

#include "trace/TraceTypes.h"

// What makes an answer doubtful, said in every output: a code that names several devices (each is listed), and a
// cycle in the assembly table (the genealogy is damaged there, and what lies beyond it cannot be told).
struct TraceWarning {
    QString kind;  // "several-devices" or "cycle"
    QString code;  // the code, for several-devices
    QList<qint32> devices;
    // The German sentence of the text outputs and of standard error.
    QString Text() const;
};

// Each code naming several devices once (in the order of the matches), then each cycle.
QList<TraceWarning> WarningsOf(const QList<CodeMatch>& matches, const QList<Cycle>& cycles);
// The same for the genealogies of one answer (their matches, and their cycles each once).
QList<TraceWarning> WarningsOf(const QList<Genealogy>& genealogies);

// The warnings of a JSON output: objects with kind, code (where there is one), devices and text.
QJsonArray WarningArray(const QList<TraceWarning>& warnings);
