#include "shell/SelfUpdate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <memory>

#include "shell/FileDates.h"
#include "shell/FtpClass.h"
#include "shell/Misc.h"
#include "shell/Settings.h"
#include "shell/UserDialogs.h"

namespace {

const char* const kExecutableName = "velkor";

const char* const kUpdateQuestion =
    "Es ist ein Update verfügbar. Möchten sie das Update jetzt durchführen? Sie müssen das Programm nach dem Setup "
    "nochmals aufrufen";
const char* const kDownloadFailed = "Update fehlgeschlagen. Datei konnte nicht geladen werden";
const char* const kSwapFailed = "Fehler beim Update der Dateien";
const char* const kUpdateDone = "Update Fertig. Anwendung wird jetzt neu gestartet";
const char* const kUpdateByPackage =
    "Auf dem Update-Server liegt eine neuere Version von Velkor (vom %1). Dieses Programm ist fest installiert und "
    "kann sich nicht selbst ersetzen: die IT installiert das Update mit dem Paket. Bis dahin geht es mit der "
    "installierten Version weiter.";

// The per-user record of the newest build already announced to a program that cannot replace itself.
const char* const kAnnouncedBuildKey = "Update/AnnouncedBuild";

QSettings UserSettings() {
    return QSettings(QStringLiteral("BRENVIK"), QStringLiteral("Velkor"));
}

// Tells the worker once per build on the server that an update is waiting for the package.
void AnnounceUpdateForPackage(const QDateTime& remoteDate) {
    const QString build = remoteDate.date().toString(Qt::ISODate);
    QSettings settings = UserSettings();
    if (settings.value(QLatin1String(kAnnouncedBuildKey)).toString() == build) {
        return;
    }
    settings.setValue(QLatin1String(kAnnouncedBuildKey), build);
    settings.sync();
    Dialogs().MsgBox(QString::fromUtf8(kUpdateByPackage).arg(remoteDate.date().toString(QStringLiteral("dd.MM.yyyy"))),
                     MsgButtons::Ok, MsgIcon::Information);
}

// Permissions of a new build when there is no executable to take them from: rwxr-xr-x.
constexpr QFile::Permissions kDefaultExecutablePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser |
    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

}  // namespace

UpdateFiles UpdateFilesFor(const QString& programDir, const QString& executableName) {
    const QString executable = QDir(programDir).filePath(executableName);
    return {executable, executable + QStringLiteral(".upd"), executable + QStringLiteral(".old")};
}

bool IsRemoteBuildNewer(const QDateTime& localDate, const QDateTime& remoteDate) {
    return localDate.date() < remoteDate.date();
}

bool SwapUpdateFiles(const UpdateFiles& files) {
    const QFile::Permissions permissions =
        QFile::exists(files.executable) ? QFile::permissions(files.executable) : kDefaultExecutablePermissions;
    if (!QFile::exists(files.download) || !QFile::setPermissions(files.download, permissions)) {
        return false;
    }
    if (QFile::exists(files.previous) && !QFile::remove(files.previous)) {
        return false;
    }
    bool executableMoved = false;
    if (QFile::exists(files.executable)) {
        if (!QFile::rename(files.executable, files.previous)) {
            return false;
        }
        executableMoved = true;
    }
    if (!QFile::rename(files.download, files.executable)) {
        if (executableMoved) {
            QFile::rename(files.previous, files.executable);
        }
        return false;
    }
    return true;
}

bool CanReplaceProgram(const QString& programDir) {
    return Settings::InstallationRoot(programDir).isNull() && QFileInfo(programDir).isWritable();
}

bool RunUpdateCheck(const QString& programDir, const QString& executableName, const QString& host,
                    const QString& remotePath) {
    if (host.isEmpty()) {
        return false;
    }
    const UpdateFiles files = UpdateFilesFor(programDir, executableName);
    const QDateTime localDate = GetLocalFileDate(files.executable);

    auto ftp = std::make_unique<FTP_Class>();
    ftp->Connect(host);
    const QDateTime remoteDate = ftp->GetFileDate(remotePath);
    if (!IsRemoteBuildNewer(localDate, remoteDate)) {
        return false;
    }
    if (!CanReplaceProgram(programDir)) {
        AnnounceUpdateForPackage(remoteDate);
        return false;
    }
    if (Dialogs().MsgBox(QString::fromUtf8(kUpdateQuestion), MsgButtons::YesNo) != MsgAnswer::Yes) {
        return false;
    }
    if (!ftp->DownloadFile(remotePath, files.download)) {
        Dialogs().MsgBox(QString::fromUtf8(kDownloadFailed), MsgButtons::Ok);
        return false;
    }
    if (!SwapUpdateFiles(files)) {
        Dialogs().MsgBox(QString::fromUtf8(kSwapFailed), MsgButtons::Ok);
        return false;
    }
    ftp.reset();
    Dialogs().MsgBox(QString::fromUtf8(kUpdateDone), MsgButtons::Ok);
    // The new build is in place either way; when it cannot be started, this one goes on running.
    return QProcess::startDetached(files.executable, QStringList());
}

bool RunUpdateCheck() {
    const QString host = Settings::UpdateHost();
    if (host.isEmpty() || !Settings::UpdateEnabled()) {
        return false;
    }
    return RunUpdateCheck(ProgramDirectory(), QString::fromLatin1(kExecutableName), host, Settings::UpdateRemotePath());
}
