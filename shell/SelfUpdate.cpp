#include "shell/SelfUpdate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
    if (host.isEmpty()) {
        return false;
    }
    return RunUpdateCheck(ProgramDirectory(), QString::fromLatin1(kExecutableName), host, Settings::UpdateRemotePath());
}
