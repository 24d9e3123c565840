#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QStringList>

// The parent of the plant benchmark: starts one process per simulated workstation (this program again, with
// VELKOR_PLANT_WORKSTATION set), lets them all begin at once, and gathers what each reports.
namespace plant {

// One workstation process: its number and the variables it starts with beside this process's own.
struct Station {
    int number = 0;
    QProcessEnvironment environment;
};

// Runs the stations to their end: each prints "plant ready" once prepared, is told "go" when all are, and
// prints "plant figures {json}" at its end. The figures of every station, in order; an empty object for a
// station that reported none (its output is in logDir/ws-N.log). timeoutSeconds bounds the whole run.
QList<QJsonObject> RunStations(const QList<Station>& stations, const QString& logDir, int timeoutSeconds);

// The host list of the station with the given number: the list of VELKOR_DB_HOSTS turned so that the
// stations start on its nodes in turn (empty when the variable is not set).
QString RotatedHosts(int number);

// Nearest-rank percentile of the samples (0 when there are none).
double Percentile(QList<double> samples, double fraction);

// Values recorded more than once among the production codes and serial numbers of devices with IDs from
// firstDevice on (against every device): each such value counts once.
int DuplicatesSince(qint64 firstDevice);

// Rows of devices with IDs from firstDevice on whose device row is missing (codes, serials, articles, own
// assembly rows): what a scan left half-written.
int HalfWrittenSince(qint64 firstDevice);

// A server status counter (as SHOW GLOBAL STATUS shows it), 0 when the server has none of that name.
qint64 ServerStatus(const QString& name);

}  // namespace plant
