#include "shell/Version.h"

#ifndef VELKOR_VERSION
#error "VELKOR_VERSION comes from the project's version in CMakeLists.txt"
#endif

QString ProgramVersion() {
    return QStringLiteral(VELKOR_VERSION);
}
