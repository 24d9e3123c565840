#pragma once

#include <QList>

#include "trace/TraceTypes.h"

// Cycles found in the assembly table, each listed once whichever device the walk entered it from.

// The cycle at the top of a way up (topmost device first, the first device occurs again further down).
Cycle CycleFromTop(const QList<qint32>& devices);
// The cycle at the bottom of a way down (the last device occurs already further up).
Cycle CycleFromBottom(const QList<qint32>& devices);
// Adds the cycle unless it is already listed (also as a rotation of it).
void AddCycle(QList<Cycle>& cycles, const Cycle& cycle);
