#include "tree/BillOfMat.h"

#include <cmath>

#include "db/AssemblyDbClass.h"
#include "shell/Misc.h"
#include "tree/NodeText.h"

BillOfMatFigures ReadBillOfMat(AssemblyDbClass& db, const QString& artNr) {
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

qint64 PieceCount(const QVariant& subCount) {
    bool ok = false;
    const double value = TrimBlanks(subCount.toString()).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return 0;
    }
    return static_cast<qint64>(std::floor(value));
}
