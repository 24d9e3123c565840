#include "shell/ScanFormats.h"

#include "shell/LikePattern.h"
#include "shell/Misc.h"

namespace {

// The serial-number patterns of the devices and components in use.
const char* const kSerNrPatterns[] = {
    "[A-F0-9][A-F0-9]####",
    "S[a-fA-F0-9][a-fA-F0-9][a-fA-F0-9][a-fA-F0-9][a-fA-F0-9][a-fA-F0-9][a-fA-F0-9][a-fA-F0-9]",
    "######",
    "?#####",
    "0050C???????",
    "G???????",
    "S#########",
    "502DF4??????",
    "test",
};

}  // namespace

bool IsProdCodeFormat(const QVariant& value) {
    if (IsNullOrEmpty(value)) {
        return false;
    }
    const QString text = value.toString();
    return text.startsWith(QLatin1Char('P')) && IsNumeric(text.mid(1));
}

bool IsSerNrPatternFormat(const QVariant& value) {
    if (IsNullOrEmpty(value)) {
        return false;
    }
    const QString text = value.toString();
    for (const char* pattern : kSerNrPatterns) {
        if (Like(text, QLatin1String(pattern))) {
            return true;
        }
    }
    return false;
}
