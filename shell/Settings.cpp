#include "shell/Settings.h"

#include <QDir>
#include <QSettings>

#include "shell/Misc.h"

namespace {

// The network share of the article configuration files, mounted on the workstation.
const char* const kDefaultArticleConfigDir = "/mnt/N/GROUP/TEST/_Software/Programme/Velkor/INI/";
const char* const kDefaultUpdateRemotePath = "/pub/TOOLS/Velkor/Velkor.exe";
constexpr int kSmallestFontPoints = 6;
constexpr int kLargestFontPoints = 72;

QString Read(const char* environmentName, const QString& key, const QString& defaultValue) {
    if (qEnvironmentVariableIsSet(environmentName)) {
        return qEnvironmentVariable(environmentName);
    }
    QSettings file(Settings::SettingsFilePath(), QSettings::IniFormat);
    return file.value(key, defaultValue).toString();
}

}  // namespace

namespace Settings {

QString SettingsFilePath() {
    return QDir(ProgramDirectory()).filePath(QStringLiteral("velkor.ini"));
}

QString ArticleConfigDir() {
    return Read("VELKOR_INI_DIR", QStringLiteral("Paths/ArticleConfigDir"),
                QString::fromLatin1(kDefaultArticleConfigDir));
}

QString UpdateHost() {
    return Read("VELKOR_UPDATE_HOST", QStringLiteral("Update/Host"), QString()).trimmed();
}

QString UpdateRemotePath() {
    return Read("VELKOR_UPDATE_PATH", QStringLiteral("Update/RemotePath"),
                QString::fromLatin1(kDefaultUpdateRemotePath));
}

int FontPointSize() {
    bool ok = false;
    const int points = Read("VELKOR_FONT_PT", QStringLiteral("Display/FontPointSize"), QString()).trimmed().toInt(&ok);
    return ok && points >= kSmallestFontPoints && points <= kLargestFontPoints ? points : 0;
}

}  // namespace Settings
