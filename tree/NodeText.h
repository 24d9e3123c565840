#pragma once

#include <QString>

// The node text: the article number, padded with blanks to 25 characters, then the progress counters.
//   expected form:  ART-7                P(0/1) S(0/1) F(0/2) T
//   progress form:  ART-7               P(1/1) S(1/1) F(2/2) T   (no blank before "P(")
// An article number of 25 characters or more gets no padding; the counters follow it directly.

// Width of the article column of a node text.
constexpr int kNodeArticleWidth = 25;

// The article number of a node text: the text before the earliest of "P(", "S(", "F(" or " T" (letter case
// ignored), trimmed of blanks; a text without any of them, trimmed.
QString GetArtNrFromNodeText(const QString& text);

// The blanks that fill the article number up to the counter column.
QString NodeTextPadding(const QString& artNr);

// The text of a node that still waits for its device: every acquired count is 0. The serial group is
// written when withSerNrs is set, the external serial group when extSerNrs is not 0, " T" when tested.
QString ExpectedNodeText(const QString& artNr, int prodCodes, bool withSerNrs, int serNrs, int extSerNrs,
                         bool testRequired);

// The text of a device node with its recorded counts against the expected ones; an article that expects
// no production code shows "?" as the denominator.
struct NodeProgress {
    int acquiredProdCodes = 0;
    int expectedProdCodes = 0;
    int serNrs = 0;
    int expectedSerNrs = 0;
    int extSerNrs = 0;
    int expectedExtSerNrs = 0;
    bool testRequired = false;
};
QString ProgressNodeText(const QString& artNr, const NodeProgress& progress);

// The article number of a production order: its product code without the last two characters, trimmed of
// blanks (ABC123XY gives ABC123); empty for a product code shorter than three characters.
QString ArticleFromProductCode(const QString& productCode);
