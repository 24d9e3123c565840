#include "shell/Settings.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

#include "shell/Misc.h"

namespace {

constexpr int kSmallestFontPoints = 6;
constexpr int kLargestFontPoints = 72;
const char* const kFileName = "velkor.ini";

// The network share of the article configuration files, mounted on the workstation, is the default folder.
const QList<Settings::Definition> kDefinitions = {
    {"Paths", "ArticleConfigDir", "VELKOR_INI_DIR", "/mnt/N/GROUP/TEST/_Software/Programme/Velkor/INI/"},
    {"Update", "Enabled", "VELKOR_UPDATE_ENABLED", "true"},
    {"Update", "Host", "VELKOR_UPDATE_HOST", ""},
    {"Update", "RemotePath", "VELKOR_UPDATE_PATH", "/pub/TOOLS/Velkor/Velkor.exe"},
    {"Display", "FontPointSize", "VELKOR_FONT_PT", ""},
    {"Database", "Hosts", "VELKOR_DB_HOSTS", ""},
};

QString Read(const char* section, const char* key) {
    return Settings::Current().Value(Settings::DefinitionOf(section, key));
}

bool Names(const SettingsEntry& entry, const Settings::Definition& setting) {
    return entry.section.compare(QLatin1String(setting.section), Qt::CaseInsensitive) == 0 &&
           entry.key.compare(QLatin1String(setting.key), Qt::CaseInsensitive) == 0;
}

}  // namespace

namespace Settings {

const QList<Definition>& Definitions() {
    return kDefinitions;
}

const Definition& DefinitionOf(const char* section, const char* key) {
    for (const Definition& setting : kDefinitions) {
        if (qstrcmp(setting.section, section) == 0 && qstrcmp(setting.key, key) == 0) {
            return setting;
        }
    }
    Q_UNREACHABLE();
}

QString InstallationRoot(const QString& programDir) {
    const QString suffix = QStringLiteral("/usr/bin");
    const QString dir = QDir::cleanPath(programDir);
    if (!dir.endsWith(suffix)) {
        return QString();
    }
    const QString root = dir.chopped(suffix.size());
    return root.isEmpty() ? QStringLiteral("") : root;
}

QString SystemSettingsFile() {
    // A program installed below a root folder other than "/" (a package unpacked into a folder, a chroot) reads
    // the system file of that root.
    return InstallationRoot(ProgramDirectory()) + QStringLiteral("/etc/velkor/") + QLatin1String(kFileName);
}

QString ProgramSettingsFile() {
    return QDir(ProgramDirectory()).filePath(QLatin1String(kFileName));
}

QString UserSettingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("velkor/") + QLatin1String(kFileName));
}

QStringList SettingsFiles() {
    QStringList files;
    for (const QString& file : {SystemSettingsFile(), ProgramSettingsFile(), UserSettingsFile()}) {
        if (!files.contains(file)) {
            files.append(file);
        }
    }
    return files;
}

Layers::Layers(const QStringList& files) {
    for (const QString& file : files) {
        files_.append(ReadSettingsFile(file));
    }
}

Layers::Found Layers::Find(const Definition& setting) const {
    for (auto file = files_.crbegin(); file != files_.crend(); ++file) {
        if (!file->Usable()) {
            continue;
        }
        for (auto entry = file->entries.crbegin(); entry != file->entries.crend(); ++entry) {
            if (Names(*entry, setting)) {
                return {&*file, &*entry};
            }
        }
    }
    return {nullptr, nullptr};
}

QString Layers::Value(const Definition& setting) const {
    if (qEnvironmentVariableIsSet(setting.environment)) {
        return qEnvironmentVariable(setting.environment);
    }
    const Found found = Find(setting);
    return found.entry != nullptr ? found.entry->value : QString::fromUtf8(setting.defaultValue);
}

QString Layers::Origin(const Definition& setting) const {
    if (qEnvironmentVariableIsSet(setting.environment)) {
        return QLatin1String(setting.environment);
    }
    const Found found = Find(setting);
    if (found.entry != nullptr) {
        return QStringLiteral("%1, Zeile %2").arg(found.file->path).arg(found.entry->line);
    }
    return QStringLiteral("Voreinstellung");
}

QStringList Layers::FileProblems() const {
    QStringList problems;
    for (const SettingsFile& file : files_) {
        if (!file.problem.isEmpty()) {
            problems.append(file.problem);
        }
    }
    return problems;
}

QStringList Layers::UnknownKeys() const {
    QStringList unknown;
    for (const SettingsFile& file : files_) {
        if (!file.Usable()) {
            continue;
        }
        for (const SettingsEntry& entry : file.entries) {
            const bool known = std::any_of(kDefinitions.cbegin(), kDefinitions.cend(),
                                           [&entry](const Definition& setting) { return Names(entry, setting); });
            if (!known) {
                unknown.append(
                    QStringLiteral("[%1] %2 (%3, Zeile %4)").arg(entry.section, entry.key, file.path).arg(entry.line));
            }
        }
    }
    return unknown;
}

Layers Current() {
    return Layers(SettingsFiles());
}

QString ArticleConfigDir() {
    return Read("Paths", "ArticleConfigDir");
}

bool UpdateEnabled() {
    const QString value = Read("Update", "Enabled").trimmed().toLower();
    return !(value == QLatin1String("false") || value == QLatin1String("0") || value == QLatin1String("no") ||
             value == QLatin1String("off") || value == QLatin1String("nein") || value == QLatin1String("aus"));
}

QString UpdateHost() {
    return Read("Update", "Host").trimmed();
}

QString UpdateRemotePath() {
    return Read("Update", "RemotePath");
}

int FontPointSize() {
    bool ok = false;
    const int points = Read("Display", "FontPointSize").trimmed().toInt(&ok);
    return ok && points >= kSmallestFontPoints && points <= kLargestFontPoints ? points : 0;
}

QStringList DatabaseHosts() {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return Read("Database", "Hosts").split(separators, Qt::SkipEmptyParts);
}

}  // namespace Settings
