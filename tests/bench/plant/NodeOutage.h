#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <memory>

// A node of the cluster taken away while the workstations scan, as a crash takes it (scripts/cluster kill N), and
// started again some time later (scripts/cluster start N), which returns once the node has rejoined; and what
// the workstations saw of it.
class NodeOutage {
public:
    // From VELKOR_PLANT_KILL_NODE (none when unset or 0), VELKOR_PLANT_KILL_AFTER_S (default 30),
    // VELKOR_PLANT_DOWN_S (default 60) and VELKOR_CLUSTER_COMMAND (the path of scripts/cluster).
    static std::unique_ptr<NodeOutage> FromEnvironment();

    // The kill and the start, counted from now; they happen while the caller runs the event loop.
    void Schedule();
    // After the run: waits for the node's start to end; false when it failed.
    bool WaitForRejoin(int seconds);

    // Adds the figures of the outage, prints them and checks that no scan begun after the kill was refused and
    // that every scan it cut off told the worker once. Returns the number of scans it cut off: the only refusals
    // the outage may cause.
    int Report(const QList<QJsonObject>& reports, QJsonObject& figures) const;

private:
    int node_ = 0, killAfterS_ = 30, downS_ = 60;
    QString command_;
    qint64 killStartMs_ = 0, killEndMs_ = 0, startMs_ = 0, rejoinedMs_ = 0;  // wall clock, ms since the epoch
    int killExit_ = -1;
    QProcess start_;
};
