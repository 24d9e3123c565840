#pragma once

#include <QByteArray>
#include <QString>

// Decodes text in the Windows-1252 code page (the workstations' ANSI code page). The five bytes the code
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value.
QString DecodeWindows1252(const QByteArray& bytes);
