#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/FaultRelay.h"

namespace plantwalk {

// The faults of a run on a seeded schedule, in a thread of its own while the workstations work: every few
// seconds one fault of the network between one workstation and its node (a relay's mode for a while), and on a
// cluster now and then a node isolated from the others' majority or killed and started again.
class FaultSchedule {
public:
    // relays: one per workstation; clusterDir: the folder of scripts/cluster ("" for one server).
    FaultSchedule(std::vector<std::unique_ptr<FaultRelay>>& relays, const QString& clusterDir, quint32 seed,
                  int seconds);
    ~FaultSchedule();
    FaultSchedule(const FaultSchedule&) = delete;
    FaultSchedule& operator=(const FaultSchedule&) = delete;

    // Ends the schedule, puts every relay back to pass and every node back into the cluster.
    void Stop();
    // How many faults of each kind actually happened (the relays' own counts for the network's).
    QMap<QString, int> Happened() const;

private:
    void Run(quint32 seed, int seconds);
    bool Sleep(int ms);  // false when the schedule was stopped meanwhile
    void Isolate(int node, bool isolated);
    bool Cluster(const QString& action, int node);

    std::vector<std::unique_ptr<FaultRelay>>& relays_;
    QString clusterDir_;
    std::atomic<bool> stop_{false};
    std::atomic<int> isolated_{0}, killed_{0}, delays_{0}, blackholes_{0}, resets_{0};
    std::thread thread_;
};

}  // namespace plantwalk
