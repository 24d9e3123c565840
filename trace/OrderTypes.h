#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include "trace/TraceTypes.h"
#include "tree/BillOfMat.h"
#include "tree/CompletionState.h"
#include "tree/NodeText.h"

// What "velkor-trace order" finds of a production order, independent of how it is printed.

// One piece the order's bill of materials expects in every final product: piece `piece` (from 1) of article.
struct ExpectedPosition {
    QString article;
    int piece = 1;
    BillOfMatFigures expected;
};

// The numbers recorded on one device, as the store reads them for the order's products.
struct RecordedCounts {
    QString article;  // the newest article row
    QString order;    // the order of its assembly number, else its newest recorded order
    int prodCodes = 0;
    int serNrs = 0;
    int extSerNrs = 0;
    TestResult test = TestResult::Untested;  // the latest
};
using CountsByDevice = QHash<qint32, RecordedCounts>;

// What is recorded on one device of the order's products against the bill of materials of its article, by the
// counts and the rule of the workstation's tree: production codes of the device and of everything built in below
// it, its own serial and external serial numbers.
struct DeviceCheck {
    QString article;
    QString order;  // the order of its assembly number, else its newest recorded order
    int ownProdCodes = 0;
    TestResult test = TestResult::Untested;  // the latest
    NodeProgress progress;
    CompletionState state = CompletionState::Empty;
    bool Complete() const { return state == CompletionState::Complete; }
};

// An expected position in one final product and the device recorded in it (0: none).
struct PositionState {
    ExpectedPosition position;
    qint32 devId = 0;
};

// One final product of the order: a device recorded under the order that is built into nothing.
struct OrderProduct {
    qint32 devId = 0;
    GenealogyNode tree;  // the components built in now (removed ones are not part of the product)
    // Complete when the product and every device built into it are complete and, when the order's positions are
    // known, every position holds a device.
    bool complete = false;
    QList<PositionState> positions;  // every expected position, also the filled ones
    QList<qint32> unexpected;        // components directly below the product whose article has no position left
    QList<qint32> incompleteBelow;   // devices deeper down that are not complete
    QList<qint32> subAssemblies;     // components built under another order (the topmost of each)
    // What quality needs to see even of a complete product: the worst latest test result of the product and of
    // everything built into it (failed before untested before passed; untested counts only where the article asks
    // for a test, unless nothing was tested at all) with a device that has it, the devices whose article expects a
    // production code but that carry none of their own (the codes below them made them count), and the devices
    // whose article asks for a test that they have not passed.
    TestResult worstTest = TestResult::Untested;
    qint32 worstTestDevice = 0;
    QList<qint32> withoutOwnCode;
    QList<qint32> testMissing;
    // Built into a device of its own genealogy (a cycle): listed, never dropped, and named as damaged.
    bool damaged = false;
};

// "velkor-trace order PA".
struct OrderStatus {
    QString order;
    bool erpOrder = false;  // the ERP copy of the orders names it
    QString productCode;
    QString article;
    QString name;
    bool positionsKnown = false;  // the ERP copy holds its bill of materials (or at least its order row)
    QList<ExpectedPosition> positions;
    QList<OrderProduct> products;
    QList<qint32> builtIntoOthers;  // devices recorded under the order that are built into something now
    // Devices with a row of the order whose newest order row names another (converted since): not counted here.
    QList<QPair<qint32, QString>> movedToOtherOrders;
    QHash<qint32, DeviceCheck> checks;
    FactsByDevice facts;
    QList<Cycle> cycles;

    bool Known() const { return erpOrder || positionsKnown || !products.isEmpty() || !builtIntoOthers.isEmpty(); }
};

// The totals of an order's products.
struct OrderTotals {
    int products = 0;
    int damaged = 0;  // in a cycle
    int complete = 0;
    int incomplete = 0;
    int tested = 0;  // final products with a latest test result
    int failed = 0;  // of them, those whose latest test failed
};
OrderTotals TotalsOf(const OrderStatus& status);

// The machine-readable key of a completion state: "complete", "incomplete", "empty".
QString CompletionStateKey(CompletionState state);
