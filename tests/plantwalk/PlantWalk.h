#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The plant walk: several workstations at once (one process each, on the real workflow and rework classes),
// each through a fault relay of its own, against one server or a Galera cluster, all drawing from the same
// pools at the same moments, so that two of them race on one value or one device in every run. Each writes its
// history; the checker compares the histories with what every node holds.
namespace plantwalk {

// What a workstation did in one step and what its worker was told.
struct Step {
    int ws = 0, step = 0;
    qint64 tick = 0, start = 0, end = 0;  // start and end: ms since the epoch
    QString kind;                         // code, serial, external (a new value), place, take, move (a recorded device)
    QString value;                        // what was scanned or dragged, as typed
    QString key;                          // the value as the server compares it, or the device: what two steps race on
    QString told;                         // saved, refused, discarded, saved-after-lost, unknown, ended (none of these)
    QString text;                         // the message that told it
    QString op;                           // the identity of the operation the step began ("" when it began none)
    QString host;                         // the server the workstation was on at the end

    QJsonObject ToJson() const;
    static Step FromJson(const QJsonObject& object);
    QString ToLine() const;  // for a report
};

// The recorded devices every workstation draws from, written by the driver before the stations start.
struct Pools {
    QList<qint64> moduleIds;  // free tested display modules (AM-5400-A): placed and dragged
    QStringList moduleCodes;
    QStringList keyboardCodes;  // keyboards of pre-assembled operating units: scanned, the unit is taken over
};
void WritePools(const QString& path, const Pools& pools);
Pools ReadPools(const QString& path);

// The same choice for every workstation at one tick of the run's clock: the tick's kind, value and device.
quint32 Shared(quint32 seed, qint64 tick, int salt);

QString HistoryPath(const QString& dir, int ws);
QList<Step> ReadHistories(const QString& dir, int workstations);

// The workstation process (VELKOR_PLANT_WORKSTATION set): acts at every tick until the run's seconds are over.
int RunStation();

// The lost COMMIT and the lost answer to it, each once through a relay in front of the test server: what the
// worker is told, what is recorded, and that the next scan works. Exit code 0 when all held.
int RunLostCommit();

}  // namespace plantwalk
