#include "shell/SettingsFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString BrokenLine(const QString& path, int line, const QString& text, const char* what) {
    return QStringLiteral("%1, Zeile %2: %3 („%4“)").arg(path).arg(line).arg(QString::fromUtf8(what), text);
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

SettingsFile ParseSettingsText(const QString& path, const QString& text) {
    SettingsFile file;
    file.path = path;
    file.exists = true;
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const int number = index + 1;
        QString line = lines[index].trimmed();
        if (index == 0 && line.startsWith(QChar(0xFEFF))) {
            line = line.mid(1).trimmed();
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3) {
                file.problem = BrokenLine(path, number, line, "Abschnitt ohne Namen oder ohne „]“");
                break;
            }
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            file.problem = BrokenLine(path, number, line, "weder „[Abschnitt]“ noch „Schlüssel = Wert“");
            break;
        }
        if (section.isEmpty()) {
            file.problem = BrokenLine(path, number, line, "Schlüssel vor dem ersten „[Abschnitt]“");
            break;
        }
        file.entries.append({section, line.left(equals).trimmed(), Unquoted(line.mid(equals + 1).trimmed()), number});
    }
    if (!file.problem.isEmpty()) {
        file.entries.clear();
    }
    return file;
}

SettingsFile ReadSettingsFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        SettingsFile absent;
        absent.path = path;
        return absent;
    }
    QFile input(path);
    if (info.isDir() || !input.open(QIODevice::ReadOnly)) {
        SettingsFile unreadable;
        unreadable.path = path;
        unreadable.exists = true;
        unreadable.problem = QStringLiteral("%1: nicht lesbar (%2)")
                                 .arg(path, info.isDir() ? QStringLiteral("ein Ordner") : input.errorString());
        return unreadable;
    }
    return ParseSettingsText(path, QString::fromUtf8(input.readAll()));
}
