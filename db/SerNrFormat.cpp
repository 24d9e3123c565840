#include "db/SerNrFormat.h"

#include "db/AssemblyDbClass.h"
#include "shell/Misc.h"
#include "shell/ScanFormats.h"

bool IsSerNrFormat(const QVariant& value) {
    if (IsSerNrPatternFormat(value)) {
        return true;
    }
    if (IsNullOrEmpty(value) || IsProdCodeFormat(value)) {
        return false;
    }
    return AssemblyDbClass::Shared().IsSerNrExtSer(value.toString());
}
