#include "tree/NodeText.h"

#include "shell/Misc.h"

namespace {

// 1-based position of the first occurrence of marker in text, letter case ignored; 0 when absent.
int MarkerPosition(const QString& text, const char* marker) {
    return static_cast<int>(text.indexOf(QLatin1String(marker), 0, Qt::CaseInsensitive)) + 1;
}

QString Counter(const char* group, int count, const QString& denominator) {
    return QLatin1String(group) + QString::number(count) + QLatin1Char('/') + denominator + QLatin1Char(')');
}

QString OptionalGroups(int extSerNrs, int expectedExtSerNrs, bool testRequired) {
    QString groups;
    if (expectedExtSerNrs != 0) {
        groups += Counter(" F(", extSerNrs, QString::number(expectedExtSerNrs));
    }
    if (testRequired) {
        groups += QStringLiteral(" T");
    }
    return groups;
}

}  // namespace

QString GetArtNrFromNodeText(const QString& text) {
    int end = static_cast<int>(text.size());
    for (const char* marker : {"P(", "F(", "S("}) {
        const int position = MarkerPosition(text, marker);
        if (position >= 1 && position < end) {
            end = position - 1;
        }
    }
    const int testPosition = MarkerPosition(text, " T");
    if (testPosition > 0 && testPosition < end) {
        end = testPosition - 1;
    }
    return TrimBlanks(text.left(end));
}

QString NodeTextPadding(const QString& artNr) {
    const qsizetype blanks = kNodeArticleWidth - artNr.size();
    return blanks > 0 ? QString(blanks, QLatin1Char(' ')) : QString();
}

QString ExpectedNodeText(const QString& artNr, int prodCodes, bool withSerNrs, int serNrs, int extSerNrs,
                         bool testRequired) {
    QString text = artNr + NodeTextPadding(artNr) + Counter(" P(", 0, QString::number(prodCodes));
    if (withSerNrs) {
        text += Counter(" S(", 0, QString::number(serNrs));
    }
    return text + OptionalGroups(0, extSerNrs, testRequired);
}

QString ProgressNodeText(const QString& artNr, const NodeProgress& progress) {
    const QString denominator =
        progress.expectedProdCodes != 0 ? QString::number(progress.expectedProdCodes) : QStringLiteral("?");
    QString text = artNr + NodeTextPadding(artNr) + Counter("P(", progress.acquiredProdCodes, denominator);
    if (progress.expectedSerNrs != 0) {
        text += Counter(" S(", progress.serNrs, QString::number(progress.expectedSerNrs));
    }
    return text + OptionalGroups(progress.extSerNrs, progress.expectedExtSerNrs, progress.testRequired);
}

QString ArticleFromProductCode(const QString& productCode) {
    if (productCode.size() <= 2) {
        return QString();
    }
    return TrimBlanks(productCode.left(productCode.size() - 2));
}
