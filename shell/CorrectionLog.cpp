#include "shell/CorrectionLog.h"

#include <QSysInfo>

#include "shell/EventLog.h"

QString OperatingSystemUser() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty()) {
            return user;
        }
    }
    return QStringLiteral("unbekannt");
}

QString CorrectionLogText(const QString& operation, const QStringList& details) {
    QString text = QStringLiteral("Korrektur %1: Arbeitsplatz %2, Benutzer %3")
                       .arg(operation, QSysInfo::machineHostName(), OperatingSystemUser());
    for (const QString& detail : details) {
        text += QStringLiteral("; ") + detail;
    }
    return text;
}

bool LogCorrection(const QString& operation, const QStringList& details) {
    return LogEvent(CorrectionLogText(operation, details));
}
