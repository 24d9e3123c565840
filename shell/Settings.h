#pragma once

#include <QString>

// Deployment settings. Read from the file "velkor.ini" beside the program; an environment variable
// of the same meaning, when set, overrides the file.
//
//   [Paths] ArticleConfigDir   VELKOR_INI_DIR       folder of the per-article configuration files
//   [Update] Host              VELKOR_UPDATE_HOST   update server, host or host:port; empty: no update check
//   [Update] RemotePath        VELKOR_UPDATE_PATH   the newest build's path on the update server
//   [Display] FontPointSize    VELKOR_FONT_PT       text size of the trees and fields in points; empty: Qt's own
namespace Settings {

QString ArticleConfigDir();
QString UpdateHost();
QString UpdateRemotePath();
// The text size of the trees and fields in points; 0 when none (or none that makes sense) is set.
int FontPointSize();

// The settings file that is read (beside the program).
QString SettingsFilePath();

}  // namespace Settings
