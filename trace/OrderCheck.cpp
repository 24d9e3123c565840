#include <QSet>
#include <algorithm>
#include <exception>
#include <thread>

#include "trace/GenealogyTree.h"
#include "trace/TraceQueries.h"
#include "tree/BillOfMat.h"

// The completeness of an order's final products, decided as the workstation's tree decides it for each device:
// the production codes recorded on a device and below it, its own serial and external serial numbers, against the
// bill-of-materials figures of its article (tree/CompletionState.h).

namespace {

// The pieces of the order's bill of materials, as the workstation lays them out: articles without anything to
// capture get none, a count below one is one piece, a second row of an article continues its piece numbers.
QList<ExpectedPosition> ExpectedPositions(const TraceStore::OrderErpRows& erp,
                                          const QHash<QString, BillOfMatFigures>& figures) {
    QList<ExpectedPosition> positions;
    QHash<QString, int> pieces;
    for (const auto& [article, count] : erp.positions) {
        const BillOfMatFigures expected = figures.value(article);
        if (!expected.HasAnyFlag()) {
            continue;
        }
        const qint64 n = std::clamp<qint64>(PieceCount(count), 1, 10000);
        for (qint64 i = 0; i < n; ++i) {
            positions.append(ExpectedPosition{article, ++pieces[article], expected});
        }
    }
    return positions;
}

// Production codes recorded on the devices below the node, at any depth.
int ProdCodesBelow(const GenealogyNode& node, const CountsByDevice& counts) {
    int total = 0;
    for (const GenealogyNode& child : node.components) {
        total += counts.value(child.devId).prodCodes + ProdCodesBelow(child, counts);
    }
    return total;
}

// Checks the node and everything below it; a device listed twice is checked once.
void CheckTree(const GenealogyNode& node, const CountsByDevice& counts, const QHash<QString, BillOfMatFigures>& figures,
               QHash<qint32, DeviceCheck>& checks) {
    for (const GenealogyNode& child : node.components) {
        CheckTree(child, counts, figures, checks);
    }
    if (checks.contains(node.devId)) {
        return;
    }
    const RecordedCounts recorded = counts.value(node.devId);
    const BillOfMatFigures expected = figures.value(recorded.article);
    DeviceCheck check;
    check.article = recorded.article;
    check.order = recorded.order;
    check.ownProdCodes = recorded.prodCodes;
    check.test = recorded.test;
    check.progress.acquiredProdCodes = recorded.prodCodes + ProdCodesBelow(node, counts);
    check.progress.expectedProdCodes = expected.prodCodes;
    check.progress.serNrs = recorded.serNrs;
    check.progress.expectedSerNrs = expected.serNrs;
    check.progress.extSerNrs = recorded.extSerNrs;
    check.progress.expectedExtSerNrs = expected.extSerNrs;
    check.progress.testRequired = expected.testRequired;
    check.state = CompletionStateOf(check.ownProdCodes, check.progress);
    checks.insert(node.devId, check);
}

// The devices from firstDepth down that are not complete (the direct components, depth 0, are listed with their
// positions when these are known), and the topmost components built under another order than the product's.
void CollectBelow(const GenealogyNode& node, int depth, int firstDepth, const QString& order,
                  const QHash<qint32, DeviceCheck>& checks, OrderProduct& product) {
    for (const GenealogyNode& child : node.components) {
        const DeviceCheck check = checks.value(child.devId);
        if (depth >= firstDepth && !check.Complete() && !product.incompleteBelow.contains(child.devId)) {
            product.incompleteBelow.append(child.devId);
        }
        if (!check.order.isEmpty() && check.order != order) {
            if (!product.subAssemblies.contains(child.devId)) {
                product.subAssemblies.append(child.devId);
            }
            CollectBelow(child, depth + 1, firstDepth, check.order, checks, product);
        } else {
            CollectBelow(child, depth + 1, firstDepth, order, checks, product);
        }
    }
}

// Places the product's direct components into the expected positions by article, in the order they were built
// in; what finds no free position of its article is unexpected.
void PlaceComponents(const QList<ExpectedPosition>& positions, const QHash<qint32, DeviceCheck>& checks,
                     OrderProduct& product) {
    for (const ExpectedPosition& position : positions) {
        product.positions.append(PositionState{position, 0});
    }
    for (const GenealogyNode& child : product.tree.components) {
        const QString article = checks.value(child.devId).article;
        auto free = std::find_if(product.positions.begin(), product.positions.end(), [&](const PositionState& slot) {
            return slot.devId == 0 && slot.position.article == article;
        });
        if (free != product.positions.end()) {
            free->devId = child.devId;
        } else {
            product.unexpected.append(child.devId);
        }
    }
}

// Failed is worst, then untested where a test is asked for, then passed; untested where none is asked for counts
// only when nothing was tested at all.
int TestRank(TestResult test, bool required) {
    switch (test) {
        case TestResult::Failed:
            return 3;
        case TestResult::Untested:
            return required ? 2 : 0;
        case TestResult::Passed:
            break;
    }
    return 1;
}

// The product's worst latest test below it and what it lacks although the workstation's rule calls it complete.
void NoteFindings(OrderProduct& product, const QHash<qint32, DeviceCheck>& checks) {
    int worst = -1;
    for (qint32 devId : TreeDevices(product.tree)) {
        const DeviceCheck check = checks.value(devId);
        const int rank = TestRank(check.test, check.progress.testRequired);
        if (rank > worst) {
            worst = rank;
            product.worstTest = check.test;
            product.worstTestDevice = devId;
        }
        if (check.progress.expectedProdCodes > 0 && check.ownProdCodes == 0 && check.Complete() &&
            !product.withoutOwnCode.contains(devId)) {
            product.withoutOwnCode.append(devId);
        }
        if (check.progress.testRequired && check.test != TestResult::Passed && !product.testMissing.contains(devId)) {
            product.testMissing.append(devId);
        }
    }
}

bool ProductComplete(const OrderProduct& product, const QHash<qint32, DeviceCheck>& checks) {
    const QList<qint32> devices = TreeDevices(product.tree);
    const bool devicesComplete =
        std::all_of(devices.begin(), devices.end(), [&](qint32 devId) { return checks.value(devId).Complete(); });
    const bool positionsFilled = std::all_of(product.positions.begin(), product.positions.end(),
                                             [](const PositionState& slot) { return slot.devId != 0; });
    return devicesComplete && positionsFilled;
}

// The walk down the order's products, in two halves at once: the second half on a connection of its own, in a
// thread of its own, so that the server walks both halves side by side. Without a second connection the second
// half is walked after the first.
QHash<qint32, GenealogyNode> WalkDownInTwo(TraceStore& store, const QList<qint32>& roots, CountsByDevice& counts,
                                           QList<Cycle>& cycles) {
    if (roots.size() < 2) {
        return store.WalkDownCurrent(roots, counts, cycles);
    }
    const QList<qint32> first = roots.mid(0, roots.size() / 2);
    const QList<qint32> second = roots.mid(roots.size() / 2);
    QHash<qint32, GenealogyNode> secondTrees;
    CountsByDevice secondCounts;
    QList<Cycle> secondCycles;
    bool walked = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            TraceStore other;
            if (other.IsConnected() && other.ConnectionError().isEmpty()) {
                secondTrees = other.WalkDownCurrent(second, secondCounts, secondCycles);
                walked = true;
            }
        } catch (...) {
            failure = std::current_exception();
        }
    });
    QHash<qint32, GenealogyNode> trees;
    try {
        trees = store.WalkDownCurrent(first, counts, cycles);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (!walked) {
        secondTrees = store.WalkDownCurrent(second, secondCounts, secondCycles);
    }
    trees.insert(secondTrees);
    counts.insert(secondCounts);
    cycles += secondCycles;
    return trees;
}

}  // namespace

OrderStatus FindOrderStatus(TraceStore& store, const QString& paNr) {
    OrderStatus status;
    status.order = paNr;
    const TraceStore::OrderErpRows erp = store.ReadOrderErp(paNr);
    status.erpOrder = erp.orderRow;
    status.productCode = erp.productCode;
    status.article = ArticleFromProductCode(erp.productCode);
    status.name = erp.name;
    status.positionsKnown = erp.orderRow || !erp.positions.isEmpty();

    QList<qint32> roots;
    QList<qint32> builtIn;
    store.OrderDevices(paNr, roots, builtIn, status.movedToOtherOrders);
    // A device built only into its own genealogy (a cycle) has no final product above it: it stays one of the
    // order's products, named as damaged.
    QSet<qint32> damaged;
    if (!builtIn.isEmpty()) {
        const QMultiHash<qint32, Usage> ways = store.WalkUp(builtIn, status.cycles, &damaged);
        for (qint32 devId : builtIn) {
            const QList<Usage> up = ways.values(devId);
            const bool builtInSomewhere =
                std::any_of(up.begin(), up.end(), [](const Usage& usage) { return !usage.Removed(); });
            (damaged.contains(devId) && !builtInSomewhere ? roots : status.builtIntoOthers).append(devId);
        }
    }
    CountsByDevice counts;
    const QHash<qint32, GenealogyNode> trees = WalkDownInTwo(store, roots, counts, status.cycles);

    QStringList articles;
    for (const auto& [article, count] : erp.positions) {
        articles.append(article);
    }
    for (const RecordedCounts& recorded : counts) {
        articles.append(recorded.article);
    }
    articles.removeDuplicates();
    const QHash<QString, BillOfMatFigures> figures = store.BillsOfMat(articles);
    status.positions = ExpectedPositions(erp, figures);

    QList<qint32> shown = roots + status.builtIntoOthers;
    for (const auto& [devId, order] : status.movedToOtherOrders) {
        shown.append(devId);
    }
    for (qint32 root : roots) {
        OrderProduct product;
        product.devId = root;
        product.tree = trees.value(root);
        CheckTree(product.tree, counts, figures, status.checks);
        if (status.positionsKnown) {
            PlaceComponents(status.positions, status.checks, product);
        }
        CollectBelow(product.tree, 0, status.positionsKnown ? 1 : 0, paNr, status.checks, product);
        product.damaged = damaged.contains(root);
        product.complete = ProductComplete(product, status.checks) && !product.damaged;
        NoteFindings(product, status.checks);
        shown += product.subAssemblies + product.withoutOwnCode + product.testMissing;
        shown.append(product.worstTestDevice);
        if (!product.complete) {
            shown += TreeDevices(product.tree);
        }
        status.products.append(product);
    }
    status.facts = store.Facts(shown);
    return status;
}

void CountCompleteness(TraceStore& store, qint32 rootDevId, FactsByDevice& facts) {
    CountsByDevice counts;
    QList<Cycle> cycles;  // named by the walk of the genealogy itself
    const GenealogyNode tree = store.WalkDownCurrent({rootDevId}, counts, cycles).value(rootDevId);
    QStringList articles;
    for (const RecordedCounts& recorded : counts) {
        articles.append(recorded.article);
    }
    articles.removeDuplicates();
    QHash<qint32, DeviceCheck> checks;
    CheckTree(tree, counts, store.BillsOfMat(articles), checks);
    for (auto it = checks.cbegin(); it != checks.cend(); ++it) {
        if (facts.contains(it.key())) {
            facts[it.key()].counted = true;
            facts[it.key()].countedComplete = it.value().Complete();
        }
    }
}

OrderTotals TotalsOf(const OrderStatus& status) {
    OrderTotals totals;
    for (const OrderProduct& product : status.products) {
        ++totals.products;
        ++(product.complete ? totals.complete : totals.incomplete);
        totals.damaged += product.damaged ? 1 : 0;
        const TestResult test = status.facts.value(product.devId).test;
        totals.tested += test != TestResult::Untested ? 1 : 0;
        totals.failed += test == TestResult::Failed ? 1 : 0;
    }
    return totals;
}

QString CompletionStateKey(CompletionState state) {
    switch (state) {
        case CompletionState::Complete:
            return QStringLiteral("complete");
        case CompletionState::Incomplete:
            return QStringLiteral("incomplete");
        case CompletionState::Empty:
            break;
    }
    return QStringLiteral("empty");
}
