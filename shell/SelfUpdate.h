#pragma once

#include <QDateTime>
#include <QString>

// The update check that runs before the main window: when the update server holds a build of the
// program from a later calendar day than the running one, the worker is asked, the new build is
// downloaded beside the program, swapped in, and started.

// The files of an update, all in the program directory.
struct UpdateFiles {
    QString executable;  // the program itself
    QString download;    // the new build while it is being fetched: executable + ".upd"
    QString previous;    // the build before the last update: executable + ".old"
};

UpdateFiles UpdateFilesFor(const QString& programDir, const QString& executableName);

// True when the remote build is from a later calendar day than the local one. The local date is
// the executable's file time in universal time, the remote one the server's time in local time;
// only their calendar days are compared.
bool IsRemoteBuildNewer(const QDateTime& localDate, const QDateTime& remoteDate);

// Puts the downloaded build in place of the executable: gives it the executable's permissions,
// deletes the previous build, renames the executable to the previous build and the download to
// the executable. Each step runs only when its file exists. False when a step fails; the files stay
// as far as the swap had got, except that an executable already moved aside is moved back when the
// download cannot take its place, so the program directory always keeps a program.
bool SwapUpdateFiles(const UpdateFiles& files);

// False for a program that may not replace its own file: one installed by the package (in <root>/usr/bin, see
// Settings::InstallationRoot), or one whose folder this user cannot write.
bool CanReplaceProgram(const QString& programDir);

// Runs the update check against host ("host" or "host:port") for the file remotePath. True when the
// new build was installed and started, and this process must end without opening the main window.
// An empty host means no check at all. A program that cannot replace itself (CanReplaceProgram) only tells the
// worker, once per build on the server and user, that an update is there for IT to install with the package,
// and goes on.
bool RunUpdateCheck(const QString& programDir, const QString& executableName, const QString& host,
                    const QString& remotePath);

// The update check of this program ("velkor" in the program directory) with the server and path of
// the deployment settings; none when [Update] Enabled is false.
bool RunUpdateCheck();
