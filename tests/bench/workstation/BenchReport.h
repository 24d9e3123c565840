#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Figures, the printed table and the plan check of the workstation benchmark.
namespace bench {

// Median, 95th percentile (nearest rank) and maximum of the samples; zeros when there are none.
struct Spread {
    double median = 0, p95 = 0, max = 0;
};
Spread SpreadOf(QList<double> samples);

// Resident memory of this process now and at its peak, in MB.
double ResidentMegabytes();
double PeakResidentMegabytes();

// Puts every statement (text with the values of its first use) through EXPLAIN and returns one line per
// statement that reads a whole traceability table or more than 1 % of its rows.
QStringList FullScans(const QHash<QString, QVariantList>& statements);

// Prints the figures, with a column for a base run (another number of devices) and the ratio when base
// is not empty.
void PrintTable(const QJsonObject& figures, const QJsonObject& base);

// Prints the statement counts and times of this run beside those measured before the program's statements were
// reduced (the figures kept in before-N.json beside the benchmark's sources).
void PrintBefore(const QJsonObject& figures, const QJsonObject& before);

// The machine the run took place on: processor model and count.
QString MachineDescription();

}  // namespace bench
