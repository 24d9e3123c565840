#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/TestDatabase.h"

#ifdef VELKOR_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!SelectTestDataSource()) {
        return 1;
    }
    // What the windows save per user (size and position) stays with this run of the tests.
    const QTemporaryDir userConfig;
    if (userConfig.isValid()) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(userConfig.path()));
    }
    ::testing::InitGoogleTest(&argc, argv);
    // On the stack: a static application object would be destroyed after Qt's own statics.
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
