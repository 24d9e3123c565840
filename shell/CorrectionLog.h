#pragma once

#include <QString>
#include <QStringList>

// A supervisor's correction of the genealogy (record editor, removal, move, conversion) leaves one entry in the
// event log once it is kept: the workstation, the operating-system user, the operation, the devices and each
// old and new value. Nothing is written for a change that was refused or rolled back, and no password ever
// reaches it.

// The operating-system user the program runs as ("unbekannt" when the environment names none).
QString OperatingSystemUser();

// "Korrektur <operation>: Arbeitsplatz <host>, Benutzer <user>; <detail>; <detail>..."
QString CorrectionLogText(const QString& operation, const QStringList& details);

// Writes the entry; true when the system logger took it.
bool LogCorrection(const QString& operation, const QStringList& details);
