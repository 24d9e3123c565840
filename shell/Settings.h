#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "shell/SettingsFile.h"

// Deployment settings, from the files "velkor.ini" and the environment. The files are read in this order, a
// later one overriding an earlier one key by key; an environment variable of the same meaning, when set (even
// to the empty text), overrides every file:
//   1. the system file /etc/velkor/velkor.ini (the package's conffile; a program installed below a root folder,
//      <root>/usr/bin/velkor, reads <root>/etc/velkor/velkor.ini)
//   2. velkor.ini beside the program (a development build: build/velkor.ini)
//   3. the user's file ~/.config/velkor/velkor.ini ($XDG_CONFIG_HOME/velkor/velkor.ini when that is set)
//   4. the environment
// A file that cannot be read or holds a broken line is left out as a whole (see SettingsFile.h).
//
//   [Paths] ArticleConfigDir   VELKOR_INI_DIR         folder of the per-article configuration files
//   [Update] Enabled           VELKOR_UPDATE_ENABLED  false: no update check at all (default true)
//   [Update] Host              VELKOR_UPDATE_HOST     update server, host or host:port; empty: no update check
//   [Update] RemotePath        VELKOR_UPDATE_PATH     the newest build's path on the update server
//   [Display] FontPointSize    VELKOR_FONT_PT         text size of the trees and fields in points; empty: Qt's own
//   [Database] Hosts           VELKOR_DB_HOSTS        database servers in the order they are tried, host[:port]
//                                                     separated by commas (the nodes of a Galera cluster); used
//                                                     in place of the data source's server; empty: the data
//                                                     source's own server
namespace Settings {

QString ArticleConfigDir();
bool UpdateEnabled();
QString UpdateHost();
QString UpdateRemotePath();
// The text size of the trees and fields in points; 0 when none (or none that makes sense) is set.
int FontPointSize();
// The database servers to go to, in order, each "host" or "host:port"; empty when none are set.
QStringList DatabaseHosts();

// The settings files in the order they are read (whether they exist or not).
QStringList SettingsFiles();
QString SystemSettingsFile();
QString ProgramSettingsFile();
QString UserSettingsFile();

// The root folder of an installation whose programs are in programDir: "" for /usr/bin, "/x" for /x/usr/bin;
// a null text when programDir is no such folder (a build folder, a copied program).
QString InstallationRoot(const QString& programDir);

// Every setting the program knows.
struct Definition {
    const char* section;
    const char* key;
    const char* environment;
    const char* defaultValue;
};
const QList<Definition>& Definitions();
// The definition of [section] key (one of Definitions()).
const Definition& DefinitionOf(const char* section, const char* key);

// The settings of a list of files (in the order given) and the environment.
class Layers {
public:
    explicit Layers(const QStringList& files);

    // The environment variable when set, else the last usable file that names the key, else the default.
    QString Value(const Definition& setting) const;
    // Where Value comes from: the environment variable, "file, Zeile n", or "Voreinstellung".
    QString Origin(const Definition& setting) const;

    const QList<SettingsFile>& Files() const { return files_; }
    // What is wrong with files that exist but are left out, one text each (file and line named).
    QStringList FileProblems() const;
    // The keys of the usable files that are no setting: "[Section] Key (file, Zeile n)".
    QStringList UnknownKeys() const;

private:
    struct Found {
        const SettingsFile* file;
        const SettingsEntry* entry;
    };
    Found Find(const Definition& setting) const;
    QList<SettingsFile> files_;
};

// The layers of this program's settings files.
Layers Current();

}  // namespace Settings
