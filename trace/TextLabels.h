#pragma once

#include <QString>
#include <QStringList>

#include "trace/TraceTypes.h"

// The German labels of the text outputs, as the workstation's window words them.

// "SG-5000-A (Gerät 9030)"; "Artikel unbekannt" for a device without article.
QString DeviceLabel(const QString& article, qint32 devId);
// "Produktionscode P24100030", "Seriennummern 1, 2", "Fremdseriennummer X": those the device has.
QStringList CodeLabels(const DeviceFacts& device);
// "Test: bestanden", "Test: nicht bestanden", "Test: ungeprüft".
QString TestLabel(TestResult result);
// "vollständig", "unvollständig", or both views where the stored flag and the count differ
// ("gespeichert unvollständig, gezählt vollständig"); empty for a device without assembly number.
QString CompletenessLabel(const DeviceFacts& device);
// "erfasst", "verschoben", "umgerüstet", "ausgebaut", "korrigiert" for the journal's operations.
QString OperationLabel(const QString& operation);
// "2026-12-09 10:15:02 ausgebaut an WS-07 von mueller, PA 240101: Gerät 9034 …"
QString JournalLine(const JournalEvent& event);
// The journal of a device, one line each; a device without entries gets the one line that says why.
QStringList JournalLines(const DeviceFacts& device);
