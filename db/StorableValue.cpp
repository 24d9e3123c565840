#include "db/StorableValue.h"

#include <limits>

#include "shell/Misc.h"
#include "shell/ScanFormats.h"

namespace {

bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CharacterCount(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        }
        ++count;
    }
    return count;
}

QString StorageRefusal(const QString& value, ColumnLimits::Column column, const QString& subject) {
    if (HasLoneSurrogate(value)) {
        return QStringLiteral("%1 enthält ungültige Zeichen und wird nicht angenommen.").arg(subject);
    }
    if (HasControlCharacter(value)) {
        return QStringLiteral("%1 enthält Steuerzeichen und wird nicht angenommen.").arg(subject);
    }
    const int maxLength = ColumnLimits::MaxLength(column);
    const int length = CharacterCount(value);
    if (maxLength > 0 && length > maxLength) {
        return QStringLiteral("%1 ist zu lang (%2 Zeichen, höchstens %3 erlaubt).")
            .arg(subject, QString::number(length), QString::number(maxLength));
    }
    return QString();
}

QString OrderNumberRefusal(const QString& paNr) {
    const QString refusal = StorageRefusal(TrimBlanks(paNr), ColumnLimits::Column::ProductionOrderNumber,
                                           QStringLiteral("Die Produktionsauftragsnummer"));
    if (!refusal.isEmpty()) {
        return refusal;
    }
    // A text the order field refuses (Enter not pressed after it) is no order a device can be recorded under.
    if (!IsNumeric(paNr)) {
        return QStringLiteral("Die Produktionsauftragsnummer ist keine Zahl und wird nicht angenommen.");
    }
    const qint64 number = LeadingNumber(paNr);
    if (number > std::numeric_limits<qint32>::max() || number < std::numeric_limits<qint32>::min()) {
        return QStringLiteral("Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens %1).")
            .arg(std::numeric_limits<qint32>::max());
    }
    return QString();
}

ColumnLimits::Column ColumnOfScan(const QString& value) {
    return IsProdCodeFormat(value) ? ColumnLimits::Column::ProductionCode : ColumnLimits::Column::SerialNumber;
}
