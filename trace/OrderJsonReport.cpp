#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "trace/TraceReports.h"
#include "trace/TraceWarnings.h"

// JSON of "velkor-trace order": keys in English, device IDs as numbers, counts as recorded/expected pairs.

namespace {

QJsonValue OrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject Figures(int prodCodes, int serNrs, int extSerNrs) {
    return QJsonObject{{QStringLiteral("productionCodes"), prodCodes},
                       {QStringLiteral("serialNumbers"), serNrs},
                       {QStringLiteral("externalSerialNumbers"), extSerNrs}};
}

QJsonObject Expected(const BillOfMatFigures& figures) {
    return Figures(figures.prodCodes, figures.serNrs, figures.extSerNrs);
}

// A device of a product with its identifiers, order and what is recorded on it against what is expected.
QJsonObject DeviceObject(const OrderStatus& status, qint32 devId) {
    const DeviceFacts facts = status.facts.value(devId);
    const DeviceCheck check = status.checks.value(devId);
    const NodeProgress& p = check.progress;
    return QJsonObject{
        {QStringLiteral("device"), devId},
        {QStringLiteral("article"), OrNull(check.article)},
        {QStringLiteral("productionCodes"), QJsonArray::fromStringList(facts.productionCodes)},
        {QStringLiteral("serialNumbers"), QJsonArray::fromStringList(facts.serialNumbers)},
        {QStringLiteral("externalSerialNumbers"), QJsonArray::fromStringList(facts.externalSerialNumbers)},
        {QStringLiteral("order"), OrNull(check.order)},
        {QStringLiteral("test"), TestResultKey(facts.test)},
        {QStringLiteral("state"), CompletionStateKey(check.state)},
        {QStringLiteral("recorded"), Figures(p.acquiredProdCodes, p.serNrs, p.extSerNrs)},
        {QStringLiteral("expected"), Figures(p.expectedProdCodes, p.expectedSerNrs, p.expectedExtSerNrs)},
    };
}

QJsonArray Devices(const OrderStatus& status, const QList<qint32>& devIds) {
    QJsonArray array;
    for (qint32 devId : devIds) {
        array.append(DeviceObject(status, devId));
    }
    return array;
}

QJsonObject ProductObject(const OrderStatus& status, const OrderProduct& product) {
    QJsonObject object = DeviceObject(status, product.devId);
    object.insert(QStringLiteral("complete"), product.complete);
    const DeviceFacts facts = status.facts.value(product.devId);
    object.insert(QStringLiteral("completeStored"), facts.hasAssembly ? QJsonValue(facts.complete) : QJsonValue());
    object.insert(QStringLiteral("damaged"), product.damaged);
    object.insert(QStringLiteral("worstTest"),
                  QJsonObject{{QStringLiteral("test"), TestResultKey(product.worstTest)},
                              {QStringLiteral("device"),
                               product.worstTestDevice == 0 ? QJsonValue() : QJsonValue(product.worstTestDevice)}});
    object.insert(QStringLiteral("withoutOwnCode"), Devices(status, product.withoutOwnCode));
    object.insert(QStringLiteral("testMissing"), Devices(status, product.testMissing));
    object.insert(QStringLiteral("subAssemblies"), Devices(status, product.subAssemblies));
    if (product.complete) {
        return object;
    }
    QJsonArray positions;
    for (const PositionState& slot : product.positions) {
        QJsonObject position{{QStringLiteral("article"), slot.position.article},
                             {QStringLiteral("piece"), slot.position.piece},
                             {QStringLiteral("expected"), Expected(slot.position.expected)}};
        if (slot.devId == 0) {
            position.insert(QStringLiteral("device"), QJsonValue());
            position.insert(QStringLiteral("state"), QStringLiteral("missing"));
        } else {
            position.insert(QStringLiteral("device"), DeviceObject(status, slot.devId));
            position.insert(QStringLiteral("state"), CompletionStateKey(status.checks.value(slot.devId).state));
        }
        positions.append(position);
    }
    object.insert(QStringLiteral("positions"), positions);
    object.insert(QStringLiteral("unexpected"), Devices(status, product.unexpected));
    object.insert(QStringLiteral("incompleteBelow"), Devices(status, product.incompleteBelow));
    return object;
}

}  // namespace

void WriteOrderJson(const OrderStatus& status, QTextStream& out) {
    QJsonObject document{{QStringLiteral("order"), status.order}, {QStringLiteral("known"), status.Known()}};
    document.insert(QStringLiteral("erp"),
                    status.erpOrder ? QJsonValue(QJsonObject{{QStringLiteral("productCode"), status.productCode},
                                                             {QStringLiteral("article"), status.article},
                                                             {QStringLiteral("name"), OrNull(status.name)}})
                                    : QJsonValue());
    document.insert(QStringLiteral("positionsKnown"), status.positionsKnown);
    QJsonArray positions;
    for (const ExpectedPosition& position : status.positions) {
        positions.append(QJsonObject{{QStringLiteral("article"), position.article},
                                     {QStringLiteral("piece"), position.piece},
                                     {QStringLiteral("expected"), Expected(position.expected)}});
    }
    document.insert(QStringLiteral("positions"), positions);
    QJsonArray products;
    for (const OrderProduct& product : status.products) {
        products.append(ProductObject(status, product));
    }
    document.insert(QStringLiteral("products"), products);
    QJsonArray builtIn;
    for (qint32 devId : status.builtIntoOthers) {
        const DeviceFacts facts = status.facts.value(devId);
        builtIn.append(
            QJsonObject{{QStringLiteral("device"), devId}, {QStringLiteral("article"), OrNull(facts.article)}});
    }
    document.insert(QStringLiteral("builtIntoOthers"), builtIn);
    QJsonArray moved;
    for (const auto& [devId, order] : status.movedToOtherOrders) {
        moved.append(QJsonObject{{QStringLiteral("device"), devId}, {QStringLiteral("order"), order}});
    }
    document.insert(QStringLiteral("movedToOtherOrders"), moved);
    const OrderTotals totals = TotalsOf(status);
    document.insert(QStringLiteral("totals"), QJsonObject{{QStringLiteral("products"), totals.products},
                                                          {QStringLiteral("complete"), totals.complete},
                                                          {QStringLiteral("incomplete"), totals.incomplete},
                                                          {QStringLiteral("tested"), totals.tested},
                                                          {QStringLiteral("failed"), totals.failed},
                                                          {QStringLiteral("damaged"), totals.damaged}});
    document.insert(QStringLiteral("cycles"), CycleArray(status.cycles));
    document.insert(QStringLiteral("warnings"), WarningArray(WarningsOf({}, status.cycles)));
    out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}
