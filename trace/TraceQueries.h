#pragma once

#include <QString>
#include <QStringList>

#include "trace/TraceStore.h"
#include "trace/TraceTypes.h"

// The two questions of the quality department, answered from the store.

// The genealogy of the device that carries code: its current final product and the whole tree below it,
// with the components removed again. A code that is not recorded gives a match that is not found.
Genealogy ShowGenealogy(TraceStore& store, const QString& code);

// For every code: each final product that contains or contained its device, at any depth.
WhereUsed FindWhereUsed(TraceStore& store, const QStringList& codes);

// Where a production order stands: its final products with their completeness, what is missing in the
// incomplete ones, and the sub-assemblies built under another order (trace/OrderCheck.cpp).
OrderStatus FindOrderStatus(TraceStore& store, const QString& paNr);
