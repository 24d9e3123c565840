#include "tree/IniFileClass.h"

#include <QFile>

#include "shell/Misc.h"
#include "shell/UserDialogs.h"
#include "shell/VelkorError.h"
#include "tree/Windows1252.h"

namespace {

// The reader's buffer holds 1280 characters including the terminating NUL.
constexpr int kMaxValueLength = 1279;
// Length of the list a single value is returned in by the list readers.
constexpr int kSingleValueListLength = 1001;

QString TrimSpaceAndTab(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto isSpace = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && isSpace(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isSpace(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString ReadFileText(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QByteArray bytes = file.readAll();
    static const QByteArray utf8Mark("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Mark)) {
        return QString::fromUtf8(bytes.mid(utf8Mark.size()));
    }
    return DecodeWindows1252(bytes);
}

}  // namespace

void IniFileClass::KeepContent() {
    content_ = ReadFileText(path_);
}

QString IniFileClass::Content() const {
    return content_.has_value() ? *content_ : ReadFileText(path_);
}

QString IniFileClass::ReadProfileString(const QString& section, const QString& key) const {
    const QString content = Content();
    bool inSection = false;
    for (QString line : content.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QString trimmed = TrimSpaceAndTab(line);
        if (trimmed.startsWith(QLatin1Char('['))) {
            qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            if (close < 0) {
                close = trimmed.size();
            }
            const QString name = TrimSpaceAndTab(trimmed.mid(1, close - 1));
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        if (TrimSpaceAndTab(trimmed.left(equals)).compare(key, Qt::CaseInsensitive) == 0) {
            // The value as it stands after "=" on the line (leading blanks kept).
            const QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
            return value.left(kMaxValueLength);
        }
    }
    return QString();
}

QString IniFileClass::GetParameterText(const QString& section, const QString& key) const {
    QString value = FilterChars(ReadProfileString(section, key), QString(QChar(0)), false, Qt::CaseInsensitive);
    value = TrimTrailingBlanks(value);
    if (value.endsWith(QLatin1Char(','))) {
        value.chop(1);
    }
    return value;
}

QVariant IniFileClass::GetFunctionParameterValue(const QString& section, const QString& key) const {
    const QString value = GetParameterText(section, key);
    if (value.contains(QLatin1Char(','))) {
        return value.split(QLatin1Char(','));
    }
    return value;
}

QStringList IniFileClass::GetTestParamsArray(const QString& section, const QString& key) const {
    const QString value = GetParameterText(section, key);
    if (value.contains(QLatin1Char(','))) {
        return value.split(QLatin1Char(','));
    }
    QStringList list;
    list.reserve(kSingleValueListLength);
    list.append(value);
    while (list.size() < kSingleValueListLength) {
        list.append(QString());
    }
    return list;
}

QStringList IniFileClass::GetTestFunctions(const QString& section) const {
    return GetTestParamsArray(section, QStringLiteral("Funktionen"));
}

QVariant IniFileClass::GetParameterListOfFunktions(const QString& section) const {
    return GetFunctionParameterValue(section, QString());
}

qint16 IniFileClass::GetNumberOfProdcodes() const {
    const qint64 count =
        LeadingNumber(GetParameterText(QStringLiteral("ModulEigenschaften"), QStringLiteral("ProduktionsCodes")));
    if (count > 32767 || count < -32768) {
        throw VelkorError(6, QStringLiteral("Overflow"), QStringLiteral("IniFileClass"));
    }
    return static_cast<qint16>(count);
}

QString IniFileClass::GetIniVersion() const {
    const QString version = GetParameterText(QStringLiteral("INI"), QStringLiteral("Version"));
    if (version.isEmpty()) {
        Dialogs().MsgBox(QStringLiteral("fehlerhafter Versionseintrag in INI-Datei. Bitte korregieren !"));
    }
    return version;
}
