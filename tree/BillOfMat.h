#pragma once

#include <QString>
#include <QVariant>

class AssemblyDbClass;

// What the bill of materials expects of one unit of an article.
struct BillOfMatFigures {
    qint16 prodCodes = 0;
    qint16 serNrs = 0;
    qint16 extSerNrs = 0;
    bool testRequired = false;

    // False for an article without any capture flag: it has nothing to capture and gets no node.
    bool HasAnyFlag() const { return prodCodes != 0 || serNrs != 0 || extSerNrs != 0 || testRequired; }
};

BillOfMatFigures ReadBillOfMat(AssemblyDbClass& db, const QString& artNr);

// The expected (zero-progress) node text of the article. The serial group shows the serial count of the
// article number as the node text will be read back (the same count for a plain article number).
QString ExpectedTextFor(AssemblyDbClass& db, const QString& artNr, const BillOfMatFigures& figures);

// Whole pieces of a row of an order's bill of materials (its SubCount); a fraction is cut off, a missing count
// counts as none.
qint64 PieceCount(const QVariant& subCount);
