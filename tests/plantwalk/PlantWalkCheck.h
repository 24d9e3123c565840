#pragma once

#include <QList>
#include <QStringList>

#include "tests/plantwalk/PlantWalk.h"

namespace plantwalk {

// Waits (at most two minutes) until every node has committed the same transactions and is synced; false when
// they did not agree in that time. hosts: "host:port" of every node; empty for one server.
bool WaitUntilNodesAgree(const QStringList& hosts);

// Checks the histories against what every node holds (one server: hosts empty) and that the nodes hold the same
// rows. Every violation is printed with the seed, the workstation, the step and the histories around it.
// firstDevice: the first device ID of the run (the rows before it are the demo's and the pools'). Returns the
// number of violations.
int CheckRun(const QList<Step>& steps, const QStringList& hosts, quint32 seed, qint64 firstDevice);

// Prints the races of the run: the same value or device attempted by two workstations within one second, and
// how many of them the guard decided (one saved, the others refused). Returns the number of races.
int ReportRaces(const QList<Step>& steps);

}  // namespace plantwalk
