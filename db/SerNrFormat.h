#pragma once

#include <QVariant>

// A serial number matches one of the known serial patterns (shell/ScanFormats.h), or, when it matches none
// and is no production code, is already recorded as the external serial number of some device.
bool IsSerNrFormat(const QVariant& value);
