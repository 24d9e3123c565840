#include "tests/walk/WalkAction.h"

#include <QByteArray>
#include <QRegularExpression>

namespace {

QString Encode(const QString& value) {
    return QString::fromLatin1(value.toUtf8().toPercentEncoding());
}

QString Decode(const QString& text) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toLatin1()));
}

}  // namespace

int WalkAction::IntArg(const QString& key, int otherwise) const {
    bool ok = false;
    const int value = args.value(key).toInt(&ok);
    return ok ? value : otherwise;
}

QString WalkAction::ToLine() const {
    QStringList parts{kind};
    for (auto it = args.cbegin(); it != args.cend(); ++it) {
        parts.append(it.key() + QLatin1Char('=') + Encode(it.value()));
    }
    if (!answers.isEmpty()) {
        QStringList encoded;
        for (const QString& answer : answers) {
            encoded.append(Encode(answer));
        }
        parts.append(QStringLiteral("ans=") + encoded.join(QLatin1Char(',')));
    }
    if (faultCode != 0) {
        parts.append(QStringLiteral("fault=%1@%2").arg(faultCode).arg(faultAt));
    }
    return parts.join(QLatin1Char(' '));
}

bool WalkAction::FromLine(const QString& line, WalkAction& action, QString& error) {
    action = WalkAction();
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) {
        error.clear();
        return false;
    }
    const QStringList parts = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    static const QRegularExpression kindPattern(QStringLiteral("^[a-z]+$"));
    if (!kindPattern.match(parts.first()).hasMatch()) {
        error = QStringLiteral("no action kind: ") + parts.first();
        return false;
    }
    action.kind = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf(QLatin1Char('='));
        if (eq <= 0) {
            error = QStringLiteral("no key=value: ") + parts[i];
            return false;
        }
        const QString key = parts[i].left(eq);
        const QString value = parts[i].mid(eq + 1);
        if (key == QLatin1String("ans")) {
            for (const QString& answer : value.split(QLatin1Char(','))) {
                action.answers.append(Decode(answer));
            }
        } else if (key == QLatin1String("fault")) {
            const QStringList fault = value.split(QLatin1Char('@'));
            bool codeOk = false, atOk = false;
            action.faultCode = fault.value(0).toInt(&codeOk);
            action.faultAt = fault.value(1).toInt(&atOk);
            if (!codeOk || !atOk) {
                error = QStringLiteral("fault is not CODE@STATEMENT: ") + value;
                return false;
            }
        } else {
            action.args.insert(key, Decode(value));
        }
    }
    error.clear();
    return true;
}
