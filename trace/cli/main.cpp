#include <QCoreApplication>
#include <QTextStream>

#include "trace/TraceCommand.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velkor-trace"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunTrace(QCoreApplication::arguments(), out, err);
}
