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
                          QStringLiteral("external_serial_numbers_expected")};

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
        const DeviceFacts facts = status.facts.value(product.devId);
        const QString article = status.checks.value(product.devId).article;
        const QStringList head{status.order,
                               QString::number(product.devId),
                               article,
                               facts.productionCodes.join(QLatin1Char('|')),
                               facts.serialNumbers.join(QLatin1Char('|')),
                               product.complete ? QStringLiteral("yes") : QStringLiteral("no"),
                               TestResultKey(facts.test)};
        WriteCsvRow(
            head + QStringList{QStringLiteral("product"), article, QString()} + DeviceFields(status, product.devId),
            out);
        for (qint32 devId : product.subAssemblies) {
            WriteCsvRow(head +
                            QStringList{QStringLiteral("sub-assembly"), status.checks.value(devId).article, QString()} +
                            DeviceFields(status, devId),
                        out);
        }
        if (product.complete) {
            continue;
        }
        for (const PositionState& slot : product.positions) {
            const QStringList position{QStringLiteral("position"), slot.position.article,
                                       QString::number(slot.position.piece)};
            if (slot.devId != 0) {
                WriteCsvRow(head + position + DeviceFields(status, slot.devId), out);
                continue;
            }
            const BillOfMatFigures& expected = slot.position.expected;
            WriteCsvRow(
                head + position +
                    QStringList{QString(), QString(), QStringLiteral("missing"), QString(),
                                QString::number(expected.prodCodes), QString(), QString::number(expected.serNrs),
                                QString(), QString::number(expected.extSerNrs)},
                out);
        }
        for (qint32 devId : product.unexpected) {
            WriteCsvRow(head +
                            QStringList{QStringLiteral("unexpected"), status.checks.value(devId).article, QString()} +
                            DeviceFields(status, devId),
                        out);
        }
        for (qint32 devId : product.incompleteBelow) {
            WriteCsvRow(head + QStringList{QStringLiteral("below"), status.checks.value(devId).article, QString()} +
                            DeviceFields(status, devId),
                        out);
        }
    }
}
