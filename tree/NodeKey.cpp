#include "tree/NodeKey.h"

#include <limits>

#include "shell/Misc.h"

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool AllDigits(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsDeviceNodeKey(const QString& key) {
    const qsizetype marker = key.indexOf(QLatin1Char('K'));
    if (marker <= 0) {
        return false;
    }
    const QStringView id = QStringView(key).left(marker);
    if (!AllDigits(id) || !AllDigits(QStringView(key).mid(marker + 1))) {
        return false;
    }
    bool ok = false;
    const qint64 value = id.toLongLong(&ok);
    return ok && value > 0 && value <= std::numeric_limits<qint32>::max();
}

qint32 DeviceIdOfKey(const QString& key) {
    if (!IsDeviceNodeKey(key)) {
        return 0;
    }
    return static_cast<qint32>(LeadingNumber(key));
}

QString KeySuffix(const QString& key) {
    return TrimBlanks(key).right(1);
}

QString ExpectedNodeKey(const QString& artNr, const QString& suffix) {
    return artNr + QLatin1Char(' ') + suffix;
}

QString DeviceNodeKey(qint64 devId, const QString& suffix) {
    return QString::number(devId) + QLatin1Char('K') + suffix;
}
