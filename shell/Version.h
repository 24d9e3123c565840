#pragma once

#include <QString>

// The program's version, the one number of the project (CMake's project version): shown by --version, in the
// window's caption and in the Debian package.
QString ProgramVersion();
