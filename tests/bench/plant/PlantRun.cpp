#include "tests/bench/plant/PlantRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "tests/support/TestDatabase.h"

namespace plant {

namespace {

// A station's process and what it has said so far.
struct Running {
    std::unique_ptr<QProcess> process;
    QByteArray pending;  // output not yet a whole line
    QFile log;           // the station's other output (its error output goes to the same file)
    bool ready = false, done = false;
    QJsonObject figures;
};

void ReadLines(Running& station) {
    station.pending += station.process->readAllStandardOutput();
    for (qsizetype end = station.pending.indexOf('\n'); end >= 0; end = station.pending.indexOf('\n')) {
        const QByteArray line = station.pending.left(end).trimmed();
        station.pending.remove(0, end + 1);
        if (line == "plant ready") {
            station.ready = true;
        } else if (line.startsWith("plant figures ")) {
            station.figures = QJsonDocument::fromJson(line.mid(14)).object();
        } else if (!line.isEmpty()) {
            station.log.write(line + '\n');  // a failure the station's test reported
        }
    }
}

// Lets the event loop run until the condition holds or the time is over; false on time out.
template <typename Condition>
bool WaitFor(Condition condition, const QElapsedTimer& clock, qint64 untilMs) {
    while (!condition()) {
        if (clock.elapsed() > untilMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace

QList<QJsonObject> RunStations(const QList<Station>& stations, const QString& logDir, int timeoutSeconds) {
    QDir().mkpath(logDir);
    std::vector<Running> running(static_cast<size_t>(stations.size()));
    QElapsedTimer clock;
    clock.start();
    for (qsizetype i = 0; i < stations.size(); ++i) {
        Running& station = running[static_cast<size_t>(i)];
        station.process = std::make_unique<QProcess>();
        QProcess& process = *station.process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QProcessEnvironment own = stations.at(i).environment;
        for (const QString& name : own.keys()) {
            environment.insert(name, own.value(name));
        }
        environment.insert(QStringLiteral("VELKOR_PLANT_WORKSTATION"), QString::number(stations.at(i).number));
        process.setProcessEnvironment(environment);
        station.log.setFileName(QStringLiteral("%1/ws-%2.log").arg(logDir).arg(stations.at(i).number));
        QFile::remove(station.log.fileName());
        station.log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
        process.setStandardErrorFile(station.log.fileName(), QIODevice::Append);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [&station] { ReadLines(station); });
        QObject::connect(&process, &QProcess::finished, [&station] {
            ReadLines(station);
            station.done = true;
        });
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--gtest_filter=PlantWorkstation.*"), QStringLiteral("--gtest_brief=1")});
    }
    const auto all = [&running](bool Running::*flag) {
        return std::all_of(running.begin(), running.end(), [flag](const Running& r) { return r.*flag || r.done; });
    };
    const qint64 limitMs = timeoutSeconds * 1000LL;
    WaitFor([&] { return all(&Running::ready); }, clock, limitMs);
    for (Running& station : running) {
        station.process->write("go\n");
    }
    if (!WaitFor([&] { return all(&Running::done); }, clock, limitMs)) {
        for (Running& station : running) {
            station.process->kill();
            station.process->waitForFinished(5000);
        }
    }
    QList<QJsonObject> figures;
    for (Running& station : running) {
        station.process->waitForFinished(5000);
        figures.append(station.figures);
    }
    return figures;
}

QString RotatedHosts(int number) {
    QStringList hosts = qEnvironmentVariable("VELKOR_DB_HOSTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (hosts.isEmpty()) {
        return {};
    }
    std::rotate(hosts.begin(), hosts.begin() + number % hosts.size(), hosts.end());
    return hosts.join(QLatin1Char(','));
}

double Percentile(QList<double> samples, double fraction) {
    if (samples.isEmpty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<qsizetype>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples.at(std::clamp<qsizetype>(rank - 1, 0, samples.size() - 1));
}

int DuplicatesSince(qint64 firstDevice) {
    int duplicates = 0;
    for (const auto& [table, column] :
         {std::pair{"device_productioncode", "ProductionCode"}, std::pair{"device_serialnumber", "SerialNumber"}}) {
        duplicates += QueryTestValue(QStringLiteral("SELECT COUNT(DISTINCT n.%2) FROM %1 n WHERE n.DeviceID >= ? AND "
                                                    "EXISTS (SELECT 1 FROM %1 o WHERE o.%2 = n.%2 AND "
                                                    "o.DeviceID <> n.DeviceID)")
                                         .arg(QLatin1String(table), QLatin1String(column)),
                                     {firstDevice})
                          .toInt();
    }
    return duplicates;
}

int HalfWrittenSince(qint64 firstDevice) {
    // Up to a margin above the last device (a device row rolled back last): the range leaves out the membership
    // rows, which name assembly rows, numbered far above the devices.
    const qint64 last = QueryTestValue(QStringLiteral("SELECT MAX(ID) + 1000 FROM device")).toLongLong();
    int rows = 0;
    for (const auto& [table, column] :
         {std::pair{"device_productioncode", "DeviceID"}, std::pair{"device_serialnumber", "DeviceID"},
          std::pair{"device_productcode", "DevID"}, std::pair{"device_assembly", "Device_Assembly"}}) {
        const QString own = QLatin1String(table) == QLatin1String("device_assembly")
                                ? QStringLiteral(" AND n.AssemblyType = 'A'")
                                : QString();
        rows += QueryTestValue(QStringLiteral("SELECT COUNT(*) FROM %1 n LEFT JOIN device d ON d.ID = n.%2 "
                                              "WHERE n.%2 BETWEEN ? AND ?%3 AND d.ID IS NULL")
                                   .arg(QLatin1String(table), QLatin1String(column), own),
                               {firstDevice, last})
                    .toInt();
    }
    return rows;
}

qint64 ServerStatus(const QString& name) {
    return QueryTestValue(
               QStringLiteral("SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS WHERE VARIABLE_NAME = ?"),
               {name.toUpper()})
        .toLongLong();
}

}  // namespace plant
