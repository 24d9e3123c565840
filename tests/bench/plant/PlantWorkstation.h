#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include "tests/workstation/WorkflowTestHost.h"

// One simulated workstation of the plant benchmark, alone in its process (its own connection, database object
// and workflow): a worker scanning whole assemblies of order 240101, with stock parts laid out before each,
// at a human pace or flat out.
class PlantWorkstation {
public:
    // paceMs: the mean time from one scan to the next (each drawn between half and one and a half of it);
    // 0 scans flat out. seed: this workstation's number, for the pace and the order's entry.
    PlantWorkstation(int paceMs, quint32 seed);

    // Enters the order and starts an assembly (the connection is open afterwards).
    void Prepare();

    // Scans for the given seconds and stops after the scan running when they are over.
    void Run(int seconds);

    // Two workstations on different nodes racing on the same new value: at each of the given moments (ms after
    // the start shared by both) a fresh assembly, then the kind's scan ("prodcode", "serial", "extserial") of
    // the value the race's number gives. Counts the scans that recorded the value.
    void Race(const QString& kind, qint64 firstValue, int races, int intervalMs);

    // Latencies and counts, as one JSON object for the process that started this one.
    QJsonObject Figures() const;

private:
    bool ScanOnce(const Scan& scan);  // one timed scan; false when it did not end accepted at "Bereit"
    void StartOver();                 // after a refused scan: the worker starts a new assembly
    void WaitForNextScan();

    ScriptedDialogs dialogs_;
    WorkflowTestHost host_;
    ScanWorkflow flow_{host_};
    QRandomGenerator random_;
    int paceMs_;
    qint64 nextScanAtMs_ = 0;
    QElapsedTimer clock_;
    QList<double> ms_;          // scan to "Bereit", every scan
    QList<double> statements_;  // statements per accepted scan
    int accepted_ = 0, errors_ = 0, deadlocks_ = 0;
    double lastEndMs_ = 0;
    QStringList firstMessages_;  // the messages of the first refused scans, for the report
    QList<double> acceptedAt_;   // wall-clock start of every accepted scan, ms since the epoch
    QJsonArray refusals_;        // every refused scan: wall-clock start and end, number of messages shown
    QJsonArray slow_;            // every scan over half a second: wall-clock start, ms
};
