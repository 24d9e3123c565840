#include "db/AssemblyDbClass.h"
#include "db/ProviderError.h"
#include "shell/Misc.h"

// Device records and the identifiers recorded against them: production codes, own and external
// serial numbers, production orders and article numbers.

bool AssemblyDbClass::IsSerNrExtSer(const QString& serNr) {
    const QVariant flag =
        SelectFirstValue(QStringLiteral("SELECT ExtFlag FROM device_serialnumber WHERE SerialNumber = ? "
                                        "ORDER BY device_serialnumber.CreationDate DESC;"),
                         {serNr}, QStringLiteral("ExtFlag"));
    return !IsNullOrEmpty(flag) && LeadingNumber(flag.toString()) > 0;
}
