#include <gtest/gtest.h>

#include <cstdlib>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "tests/support/TestDatabase.h"
#include "tests/support/XWindowDriver.h"

// Starts the real program in a window on the private X server and works it with simulated keys.
// Every step waits for what the program shows (a window, the keyboard, the end of the process), never
// for a fixed time, and every request is sent once.
namespace {

const QString kMainWindow = QStringLiteral("Velkor Tool 2.3.9");
const QString kCaption = QStringLiteral("^Velkor Tool 2\\.3\\.9$");
const QString kMessageBoxTitle = QStringLiteral("^Velkor$");

class ProgramSmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(program.Display().isEmpty()) << "No X server for the window tests: run them through scripts/test";
        ResetTestDatabase();
        ExecTestSql(
            QStringLiteral("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) "
                           "VALUES ('990002', 'T-SMOKE-1XY', 'Rauchtest')"));
    }

    RealProgram program;
};

TEST_F(ProgramSmokeTest, OrderEntryInRealWindowThenCleanClose) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());
    EXPECT_FALSE(x.WindowExists(kMessageBoxTitle)) << "a message box appeared at start";

    // The focus starts in the order field: a scanned order number goes straight in.
    x.Scan(QStringLiteral("990002"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    EXPECT_TRUE(program.IsRunning());
    EXPECT_FALSE(x.WindowExists(kMessageBoxTitle)) << "a known order must not raise a message";

    EXPECT_TRUE(program.CloseAndWaitForCleanEnd(window))
        << "the program did not end cleanly when its window was closed";
}

// The pixels of the screenshot of exactly the colour (give or take a little).
int PixelsOf(const QImage& shot, QRgb colour) {
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            count += std::abs(qRed(pixel) - qRed(colour)) + std::abs(qGreen(pixel) - qGreen(colour)) +
                                 std::abs(qBlue(pixel) - qBlue(colour)) <=
                             12
                         ? 1
                         : 0;
        }
    }
    return count;
}

// The order laid out in the window of the program: the screenshot of its tree with the node icons.
QImage LaidOutOrder(RealProgram& program) {
    const QString window = program.StartAndWaitForMainWindow();
    if (window.isEmpty()) {
        return QImage();
    }
    XWindowDriver x(program.Display());
    x.Scan(QStringLiteral("240101"));
    x.WaitForFocus(kMainWindow);
    x.Scan(QString());  // "Neuer Zusammenbau"
    x.WaitForFocus(kMainWindow);
    const QImage shot = x.Screenshot(window);
    program.CloseAndWaitForCleanEnd(window);
    return shot;
}

TEST_F(ProgramSmokeTest, ProgramCopiedAloneShowsItsNodeIconsAndASitesOwnDrawingBesideItWins) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString copy = folder.filePath(QStringLiteral("velkor"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKOR_BINARY_DIR "/velkor"), copy));
    program.SetProgram(copy);

    // The blue question mark of the nodes still to scan (46 pixels an icon), on every component of the order.
    const QRgb questionMark = qRgb(0, 70, 200);
    const QImage alone = LaidOutOrder(program);
    ASSERT_FALSE(alone.isNull()) << "the copied program showed no window";
    EXPECT_GE(PixelsOf(alone, questionMark), 46 * 5) << "the copied program shows no node icons";

    // A site's own question mark, all magenta, beside the program.
    QImage own(16, 16, QImage::Format_RGB32);
    own.fill(qRgb(255, 0, 255));
    ASSERT_TRUE(own.save(folder.filePath(QStringLiteral("Fragezeichen.bmp")), "BMP"));
    const QImage beside = LaidOutOrder(program);
    ASSERT_FALSE(beside.isNull());
    EXPECT_GE(PixelsOf(beside, qRgb(255, 0, 255)), 16 * 16 * 5) << "the drawing beside the program was not used";
    EXPECT_EQ(PixelsOf(beside, questionMark), 0);
}

TEST_F(ProgramSmokeTest, MissingDataSourceOrUnreachableServerIsToldAndTheProgramEnds) {
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
    QTemporaryDir home;

    // The message itself is StartProblemMessage (ConnectionProbeTest); here: one message, no window, exit 1.
    for (const QString& odbcFolder : {odbcDir.path(), home.filePath(QStringLiteral("no-odbc"))}) {
        SCOPED_TRACE(odbcFolder.toStdString());
        RealProgram started;
        QProcessEnvironment env;
        env.insert(QStringLiteral("ODBCSYSINI"), odbcFolder);
        env.insert(QStringLiteral("HOME"), home.path());
        ASSERT_TRUE(started.Start(env));
        XWindowDriver x(started.Display());

        const QString report = x.WaitForWindow(kMessageBoxTitle);
        ASSERT_FALSE(report.isEmpty()) << "the start problem was not told";
        ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Velkor")));
        x.Scan(QString());  // OK
        EXPECT_EQ(started.WaitForExit(), 1);
        EXPECT_FALSE(x.WindowExists(kCaption)) << "the main window opened without a database";
    }
}

}  // namespace
