#include "tree/BillOfMat.h"

#include "db/AssemblyDbClass.h"
#include "tree/NodeText.h"

BillOfMatFigures ReadBillOfMat(AssemblyDbClass& db, const QString& articleNumber) {
    // A null text would be bound as NULL and match nothing; the empty article number is looked up as such.
    const QString artNr = articleNumber.isNull() ? QStringLiteral("") : articleNumber;
    BillOfMatFigures figures;
    figures.testRequired = db.GetTestReqiredFromBillOfMat(artNr);
    figures.extSerNrs = db.GetExtSerCountFromBillOfMat(artNr);
    figures.serNrs = db.GetSerNrCountFromBillOfMat(artNr);
    figures.prodCodes = db.GetProdCodeCountFromBillOfMat(artNr);
    return figures;
}

QString ExpectedTextFor(AssemblyDbClass& db, const QString& artNr, const BillOfMatFigures& figures) {
    qint16 serNrsShown = figures.serNrs;
    if (figures.serNrs != 0) {
        const QString readBack = GetArtNrFromNodeText(artNr);
        if (readBack != artNr) {
            serNrsShown = db.GetSerNrCountFromBillOfMat(readBack);
        }
    }
    return ExpectedNodeText(artNr, figures.prodCodes, figures.serNrs != 0, serNrsShown, figures.extSerNrs,
                            figures.testRequired);
}
