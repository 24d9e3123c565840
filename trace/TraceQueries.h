#pragma once

#include <QString>
#include <QStringList>

#include "trace/TraceStore.h"
#include "trace/TraceTypes.h"

// The two questions of the quality department, answered from the store.

// The genealogy of every device that carries code (usually one): its current final product and the whole tree
// below it, with the components removed again. A code that is not recorded gives one match that is not found.
QList<Genealogy> ShowGenealogies(TraceStore& store, const QString& code);

// For every device of every code: each final product that contains or contained it, at any depth.
WhereUsed FindWhereUsed(TraceStore& store, const QStringList& codes);

// Where a production order stands: its final products with their completeness, what is missing in the
// incomplete ones, and the sub-assemblies built under another order (trace/OrderCheck.cpp).
OrderStatus FindOrderStatus(TraceStore& store, const QString& paNr);

// Counts the completeness of the devices built in now below rootDevId afresh, as the workstation's tree counts it,
// and notes it beside the stored flag in facts (trace/OrderCheck.cpp).
void CountCompleteness(TraceStore& store, qint32 rootDevId, FactsByDevice& facts);
