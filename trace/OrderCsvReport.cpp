#include "trace/CsvFields.h"
#include "trace/TraceReports.h"

// CSV of "velkor-trace order": one row per final product (its own counts), and for an incomplete one a row per
// expected position, per component outside the bill of materials and per incomplete device deeper down; a row
// per sub-assembly built under another order. The product's fields are repeated on each of its rows, so that a
// spreadsheet can filter by them.

namespace {

const QStringList kHeader{QStringLiteral("order"),
                          QStringLiteral("product"),
                          QStringLiteral("product_article"),
                          QStringLiteral("product_production_codes"),
                          QStringLiteral("product_serial_numbers"),
                          QStringLiteral("product_complete"),
                          QStringLiteral("product_test"),
                          QStringLiteral("row"),
                          QStringLiteral("article"),
                          QStringLiteral("piece"),
                          QStringLiteral("device"),
                          QStringLiteral("device_order"),
                          QStringLiteral("state"),
                          QStringLiteral("production_codes"),
                          QStringLiteral("production_codes_expected"),
                          QStringLiteral("serial_numbers"),
                          QStringLiteral("serial_numbers_expected"),
                          QStringLiteral("external_serial_numbers"),
                          QStringLiteral("external_serial_numbers_expected"),
                          QStringLiteral("product_complete_stored"),
                          QStringLiteral("product_worst_test"),
                          QStringLiteral("product_worst_test_device"),
                          QStringLiteral("product_without_own_code"),
                          QStringLiteral("product_test_missing"),
                          QStringLiteral("product_damaged")};

QString DeviceIds(const QList<qint32>& devIds) {
    QStringList ids;
    for (qint32 devId : devIds) {
        ids.append(QString::number(devId));
    }
    return ids.join(QLatin1Char('|'));
}

// The product's findings, at the end of each of its rows.
QStringList ProductTail(const OrderStatus& status, const OrderProduct& product) {
    const DeviceFacts facts = status.facts.value(product.devId);
    return {!facts.hasAssembly ? QString()
            : facts.complete   ? QStringLiteral("yes")
                               : QStringLiteral("no"),
            TestResultKey(product.worstTest),
            product.worstTestDevice == 0 ? QString() : QString::number(product.worstTestDevice),
            DeviceIds(product.withoutOwnCode),
            DeviceIds(product.testMissing),
            product.damaged ? QStringLiteral("yes") : QStringLiteral("no")};
}

QStringList DeviceFields(const OrderStatus& status, qint32 devId) {
    const DeviceCheck check = status.checks.value(devId);
    const NodeProgress& p = check.progress;
    return {QString::number(devId),
            check.order,
            CompletionStateKey(check.state),
            QString::number(p.acquiredProdCodes),
            QString::number(p.expectedProdCodes),
            QString::number(p.serNrs),
            QString::number(p.expectedSerNrs),
            QString::number(p.extSerNrs),
            QString::number(p.expectedExtSerNrs)};
}

}  // namespace

void WriteOrderCsv(const OrderStatus& status, QTextStream& out) {
    WriteCsvRow(kHeader, out);
    const int columns = static_cast<int>(kHeader.size());
    if (!status.Known()) {
        WriteCsvRow(
            {status.order, QString(), QString(), QString(), QString(), QString(), QString(), QStringLiteral("unknown")},
            out, columns);
        return;
    }
    for (const OrderProduct& product : status.products) {
        const QStringList tail = ProductTail(status, product);
        const auto row = [&](const QStringList& fields) {
            QStringList padded = fields;
            while (padded.size() < columns - tail.size()) {
                padded.append(QString());
            }
            WriteCsvRow(padded + tail, out);
        };
        const DeviceFacts facts = status.facts.value(product.devId);
        const QString article = status.checks.value(product.devId).article;
        const QStringList head{status.order,
                               QString::number(product.devId),
                               article,
                               facts.productionCodes.join(QLatin1Char('|')),
                               facts.serialNumbers.join(QLatin1Char('|')),
                               product.complete ? QStringLiteral("yes") : QStringLiteral("no"),
                               TestResultKey(facts.test)};
        row(head + QStringList{QStringLiteral("product"), article, QString()} + DeviceFields(status, product.devId));
        for (qint32 devId : product.subAssemblies) {
            row(head + QStringList{QStringLiteral("sub-assembly"), status.checks.value(devId).article, QString()} +
                DeviceFields(status, devId));
        }
        if (product.complete) {
            continue;
        }
        for (const PositionState& slot : product.positions) {
            const QStringList position{QStringLiteral("position"), slot.position.article,
                                       QString::number(slot.position.piece)};
            if (slot.devId != 0) {
                row(head + position + DeviceFields(status, slot.devId));
                continue;
            }
            const BillOfMatFigures& expected = slot.position.expected;
            row(head + position +
                QStringList{QString(), QString(), QStringLiteral("missing"), QString(),
                            QString::number(expected.prodCodes), QString(), QString::number(expected.serNrs), QString(),
                            QString::number(expected.extSerNrs)});
        }
        for (qint32 devId : product.unexpected) {
            row(head + QStringList{QStringLiteral("unexpected"), status.checks.value(devId).article, QString()} +
                DeviceFields(status, devId));
        }
        for (qint32 devId : product.incompleteBelow) {
            row(head + QStringList{QStringLiteral("below"), status.checks.value(devId).article, QString()} +
                DeviceFields(status, devId));
        }
    }
    for (const auto& [devId, order] : status.movedToOtherOrders) {
        WriteCsvRow({status.order, QString(), QString(), QString(), QString(), QString(), QString(),
                     QStringLiteral("moved-to-other-order"), status.facts.value(devId).article, QString(),
                     QString::number(devId), order},
                    out, columns);
    }
}
