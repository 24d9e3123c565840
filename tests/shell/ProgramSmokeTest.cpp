#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "tests/support/TestDatabase.h"

// Starts the real program in a window on the private X server and works it with simulated keys.
namespace {

const QString kCaption = QStringLiteral("^Velkor Tool 2\\.3\\.9$");
const QString kMessageBoxTitle = QStringLiteral("^Velkor$");

class ProgramSmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        display = qEnvironmentVariable("VELKOR_TEST_DISPLAY");
        ASSERT_FALSE(display.isEmpty()) << "No X server for the window tests: run them through scripts/test";
        ResetTestDatabase();
        ExecTestSql(
            QStringLiteral("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) "
                           "VALUES ('990002', 'T-SMOKE-1XY', 'Rauchtest')"));
    }

    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("VELKOR_UPDATE_HOST"), QString());
        return env;
    }

    void Start(const QProcessEnvironment& env) {
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(VELKOR_BINARY_DIR "/velkor"), {});
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    // Runs a tool against the test display; its standard output, trimmed.
    QString Tool(const QString& tool, const QStringList& arguments, int timeoutMs = 20000, int* exitCode = nullptr) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        process.setProcessEnvironment(env);
        process.start(tool, arguments);
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
        if (exitCode != nullptr) {
            *exitCode = process.exitCode();
        }
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    QString WaitForWindow(const QString& namePattern) {
        const QString ids =
            Tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                             QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern});
        return ids.split(QLatin1Char('\n')).value(0);
    }

    bool WindowExists(const QString& namePattern) {
        return !Tool(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern})
                    .isEmpty();
    }

    void TypeInto(const QString& window, const QString& text) {
        Tool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        if (!text.isEmpty()) {
            Tool(QStringLiteral("xdotool"),
                 {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
        }
        Tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
        QThread::msleep(500);
    }

    void CloseAndExpectCleanEnd(const QString& window) {
        // Like a worker who clicks the close button again when a loaded machine is slow to react.
        for (int attempt = 0; attempt < 5 && program.state() != QProcess::NotRunning; ++attempt) {
            Tool(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VELKOR_SOURCE_DIR "/tests/shell/close_window.py"), window});
            program.waitForFinished(4000);
        }
        ASSERT_EQ(program.state(), QProcess::NotRunning) << "the program did not end when its window was closed";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    QString display;
    QProcess program;
};

TEST_F(ProgramSmokeTest, OrderEntryInRealWindowThenCleanClose) {
    Start(Environment());
    const QString window = WaitForWindow(kCaption);
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear";
    EXPECT_FALSE(WindowExists(kMessageBoxTitle)) << "a message box appeared at start";

    // The focus starts in the order field: a scanned order number goes straight in.
    TypeInto(window, QStringLiteral("990002"));
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_FALSE(WindowExists(kMessageBoxTitle)) << "a known order must not raise a message";

    CloseAndExpectCleanEnd(window);
}

TEST_F(ProgramSmokeTest, UnreachableDatabaseIsReportedAndWindowStillOpens) {
    QTemporaryDir odbcDir;
    ASSERT_TRUE(odbcDir.isValid());
    // The same data source name, pointing at a server that does not exist.
    QFile::copy(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbcinst.ini"), odbcDir.filePath("odbcinst.ini"));
    QFile source(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QString ini = QString::fromUtf8(source.readAll());
    ini.replace(QRegularExpression(QStringLiteral("SOCKET=.*")),
                QStringLiteral("SOCKET=") + odbcDir.filePath("none.sock"));
    QFile target(odbcDir.filePath("odbc.ini"));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(ini.toUtf8());
    target.close();

    QProcessEnvironment env = Environment();
    env.insert(QStringLiteral("ODBCSYSINI"), odbcDir.path());
    Start(env);

    const QString report = WaitForWindow(kMessageBoxTitle);
    ASSERT_FALSE(report.isEmpty()) << "the connection failure was not reported";
    TypeInto(report, QString());  // OK

    const QString window = WaitForWindow(kCaption);
    ASSERT_FALSE(window.isEmpty()) << "the main window did not open after the report";
    EXPECT_EQ(program.state(), QProcess::Running);
    CloseAndExpectCleanEnd(window);
}

}  // namespace
