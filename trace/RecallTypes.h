#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include "trace/TraceTypes.h"

// What "velkor-trace recall" asks and finds: the components selected by criteria, and each final product that
// holds or held one of them.

// A range of texts or times; either end may be open.
struct TextRange {
    QString from;
    QString to;
    QString given;  // as the user wrote it, for the outputs
    bool Set() const { return !from.isEmpty() || !to.isEmpty(); }
};

// Every criterion given must hold for a component; at least one is given.
struct RecallCriteria {
    QString article;      // pattern of the article: * any text, ? one character
    TextRange codes;      // its production codes or serial numbers (own or external), compared as text
    TextRange recorded;   // when its production codes or serial numbers were recorded
    TextRange ordered;    // when its order rows were recorded
    QString supplier;     // SubManufacturer of its article in the bill of materials of its or its parent's order
    QString order;        // its order, or the order of the device it is or was built into
    TextRange scanned;    // journal: when a scan wrote it
    QString workstation;  // journal: the workstation of that scan
    QString user;         // journal: the user of that scan
    bool Any() const {
        return !article.isEmpty() || codes.Set() || recorded.Set() || ordered.Set() || !supplier.isEmpty() ||
               !order.isEmpty() || scanned.Set() || !workstation.isEmpty() || !user.isEmpty();
    }
};

// One selected component inside one final product.
struct RecallComponent {
    qint32 devId = 0;
    bool removed = false;  // removed somewhere on the way up
    QString removedAt;     // when, from the journal's removal, where known
};

// One affected final product, listed once whatever number of components it holds.
struct RecallProduct {
    qint32 devId = 0;
    QList<RecallComponent> components;
    bool StillBuiltIn() const;  // at least one of them is still built in
};

struct RecallResult {
    RecallCriteria criteria;
    QList<qint32> components;       // every selected component
    QList<qint32> notBuiltIn;       // of them, those built into nothing (never, or only themselves a product)
    QList<RecallProduct> products;  // by device ID
    QList<qint32> damaged;          // components whose way up runs into a cycle
    QList<CodeMatch> ambiguous;     // codes of the products and components that name several devices
    QList<Cycle> cycles;
    FactsByDevice facts;
};
