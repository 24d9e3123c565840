#include "trace/TraceWarnings.h"

#include <QJsonObject>

#include "trace/CycleList.h"
#include "trace/TraceReports.h"

namespace {

QString DeviceList(const QList<qint32>& devices, const QString& separator) {
    QStringList names;
    for (qint32 devId : devices) {
        names.append(QStringLiteral("Gerät %1").arg(devId));
    }
    return names.join(separator);
}

}  // namespace

QString TraceWarning::Text() const {
    if (kind == QLatin1String("cycle")) {
        return QStringLiteral("BESCHÄDIGT: ") + CycleMessage(devices);
    }
    return QStringLiteral(
               "WARNUNG: %1 bezeichnet %2 Geräte (%3); jedes ist aufgeführt. Ein Code sollte nur ein Gerät "
               "bezeichnen: bitte die Aufzeichnungen prüfen.")
        .arg(code)
        .arg(devices.size())
        .arg(DeviceList(devices, QStringLiteral(", ")));
}

QList<TraceWarning> WarningsOf(const QList<CodeMatch>& matches, const QList<Cycle>& cycles) {
    QList<TraceWarning> warnings;
    QStringList warned;
    for (const CodeMatch& match : matches) {
        if (match.NamesSeveral() && !warned.contains(match.code)) {
            warned.append(match.code);
            warnings.append(TraceWarning{QStringLiteral("several-devices"), match.code, match.named});
        }
    }
    for (const Cycle& cycle : cycles) {
        warnings.append(TraceWarning{QStringLiteral("cycle"), QString(), cycle});
    }
    return warnings;
}

QJsonArray WarningArray(const QList<TraceWarning>& warnings) {
    QJsonArray array;
    for (const TraceWarning& warning : warnings) {
        QJsonArray devices;
        for (qint32 devId : warning.devices) {
            devices.append(devId);
        }
        QJsonObject object{{QStringLiteral("kind"), warning.kind},
                           {QStringLiteral("devices"), devices},
                           {QStringLiteral("text"), warning.Text()}};
        if (!warning.code.isEmpty()) {
            object.insert(QStringLiteral("code"), warning.code);
        }
        array.append(object);
    }
    return array;
}

QList<TraceWarning> WarningsOf(const QList<Genealogy>& genealogies) {
    QList<CodeMatch> matches;
    QList<Cycle> cycles;
    for (const Genealogy& genealogy : genealogies) {
        matches.append(genealogy.match);
        for (const Cycle& cycle : genealogy.cycles) {
            AddCycle(cycles, cycle);
        }
    }
    return WarningsOf(matches, cycles);
}
