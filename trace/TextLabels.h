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
