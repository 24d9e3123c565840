#include "shell/Misc.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegularExpression>

bool IsNullOrEmpty(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return true;
    }
    return value.typeId() == QMetaType::QString && value.toString().isEmpty();
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString TrimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.left(end);
}

bool IsNumeric(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?\\s*$"));
    return number.match(text).hasMatch();
}

qint64 LeadingNumber(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' ')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }
    qint64 value = 0;
    while (pos < text.size() && text.at(pos) >= QLatin1Char('0') && text.at(pos) <= QLatin1Char('9')) {
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10) {
            break;  // saturate instead of overflowing on absurdly long digit runs
        }
        value = value * 10 + (text.at(pos).unicode() - '0');
        ++pos;
    }
    return negative ? -value : value;
}

QString FilterChars(const QString& text, const QString& charSet, bool keep, Qt::CaseSensitivity compare) {
    QString withoutComments;
    withoutComments.reserve(text.size());
    bool inComment = false;
    for (QChar c : text) {
        if (c == QLatin1Char('*')) {
            inComment = !inComment;
            continue;
        }
        if (!inComment) {
            withoutComments.append(c);
        }
    }
    QString result;
    result.reserve(withoutComments.size());
    for (QChar c : withoutComments) {
        if (charSet.contains(c, compare) == keep) {
            result.append(c);
        }
    }
    return result;
}

bool IsShiftKeyDown() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

QString ProgramDirectory() {
    return QCoreApplication::applicationDirPath();
}
