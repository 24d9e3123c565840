#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <functional>
#include <string>

#include "tests/support/TestDatabase.h"
#include "tests/support/XWindowDriver.h"

// A supervisor converts a recorded SG-5000-A into an SG-5000-C of order 240103 in the real program: the
// two-pane view, the device brought up in the right tree, a real mouse drag onto the left tree, the
// question answered and the password typed into the real password window.
namespace {

const QString kMainWindow = QStringLiteral("Velkor Tool 2.3.9");

// Where the window lays out its controls on the test display (pixels from the window's top left).
constexpr int kBackfitButtonX = 474, kBackfitButtonY = 605;  // one-pane view
constexpr int kNewAssemblyLeftX = 146, kNewAssemblyY = 467;  // two-pane view
constexpr int kShowDeviceRightX = 926, kShowDeviceY = 467;
constexpr int kLeftTreeX = 120, kRightTreeX = 640, kFirstRowY = 119, kRowHeight = 18;
constexpr int kTwoPaneWidth = 1073;

class BackfitDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(program.Display().isEmpty()) << "No X server for the window tests: run them through scripts/test";
        ResetTestDatabase();
    }

    RealProgram program;
};

// The lengths of the runs of white (the empty trees; fields are white too, but short) along a row or a column of
// the screenshot, longest first.
QList<int> WhiteRuns(const QImage& shot, bool row, int at) {
    QList<int> runs;
    int run = 0;
    const int length = row ? shot.width() : shot.height();
    for (int i = 0; i <= length; ++i) {
        const QRgb pixel = i < length ? (row ? shot.pixel(i, at) : shot.pixel(at, i)) : 0;
        if (i < length && qRed(pixel) > 248 && qGreen(pixel) > 248 && qBlue(pixel) > 248) {
            ++run;
        } else if (run > 0) {
            runs.append(run);
            run = 0;
        }
    }
    std::sort(runs.begin(), runs.end(), std::greater<int>());
    return runs;
}

// Whether the window shows one or two (empty) trees filling it: side by side they take the width, each about
// half of it in the two-pane view, and most of the height.
void ExpectTreesFill(const XWindowDriver& x, const QString& window, int panes) {
    const QImage shot = x.Screenshot(window);
    ASSERT_FALSE(shot.isNull());
    const QList<int> across = WhiteRuns(shot, true, shot.height() / 2);
    ASSERT_GE(across.size(), panes);
    if (panes == 1) {
        EXPECT_GT(across[0], shot.width() * 9 / 10) << "one tree, across " << shot.width();
    } else {
        EXPECT_GT(across[1], shot.width() * 4 / 10) << "two trees, across " << shot.width();
        EXPECT_LT(across[0], shot.width() / 2);
    }
    for (int pane = 0; pane < panes; ++pane) {
        const QList<int> down = WhiteRuns(shot, false, shot.width() * (1 + 2 * pane) / 4);
        ASSERT_FALSE(down.isEmpty());
        EXPECT_GT(down[0], shot.height() / 2) << "tree " << pane << ", down " << shot.height();
    }
}

QString OwnAssemblyOf(qint32 devId) {
    return QueryTestRows(QStringLiteral("SELECT AssemblyNum, MasterProdOrder FROM device_assembly WHERE "
                                        "AssemblyType = 'A' AND Device_Assembly = ?"),
                         {devId})
        .join(QLatin1Char(';'));
}

// The assemblies the device has stood in, each as the device owning the assembly and the type of the
// membership row ("D0": ended by a rework), oldest first, one line each.
std::string MembershipsOf(qint32 devId) {
    return QueryTestRows(
               QStringLiteral("SELECT o.Device_Assembly, m.AssemblyType FROM device_assembly m JOIN device_assembly o "
                              "ON o.AssemblyNum = m.AssemblyNum AND o.AssemblyType = 'A' WHERE m.AssemblyType <> 'A' "
                              "AND m.Device_Assembly = (SELECT AssemblyNum FROM device_assembly WHERE AssemblyType = "
                              "'A' AND Device_Assembly = ?) ORDER BY m.ID"),
               {devId})
        .join(QLatin1Char('\n'))
        .toStdString();
}

TEST_F(BackfitDragTest, DeviceDraggedOntoTheNewFinalProductTakesItsArticleAndPlace) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());
    const QString oldAssembly = OwnAssemblyOf(9030);

    x.Scan(QStringLiteral("240103"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Click(window, kBackfitButtonX, kBackfitButtonY);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    ASSERT_EQ(x.WindowWidth(window), kTwoPaneWidth) << "the two-pane view did not open";

    // The order's final product gets its device with the first component.
    x.Click(window, kNewAssemblyLeftX, kNewAssemblyY);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24200103"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktionscode Eingabe")));
    x.Scan(QStringLiteral("P24200104"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    const qint32 finalProduct =
        QueryTestValue(QStringLiteral("SELECT DevID FROM device_productcode WHERE ProductCode = 'SG-5000-C'")).toInt();
    ASSERT_GT(finalProduct, 9040);
    const QString newPlace = OwnAssemblyOf(finalProduct);

    // The device to convert, in the right tree, built from its root.
    x.Click(window, kShowDeviceRightX, kShowDeviceY);
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktions- Seriennummern Eingabe")));
    x.Scan(QStringLiteral("P24100030"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Velkor")));  // "… trotzdem bearbeiten ?"
    x.Scan(QString());                                      // Ja
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));

    x.Drag(window, kRightTreeX, kFirstRowY, kLeftTreeX, kFirstRowY);
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Velkor"))) << "the drop asked nothing";  // "… umgerüsttet werden soll ?"
    x.Scan(QString());                                                                  // Ja
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Passworteingabe")));
    x.Scan(QStringLiteral("qorv"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));

    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductCode FROM device_productcode WHERE DevID = 9030")),
              QStringList{"SG-5000-C"});
    EXPECT_EQ(OwnAssemblyOf(9030), newPlace) << "the device did not take over the final product's place";
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductionOrderNumber FROM device_productionordernumber WHERE "
                                           "DeviceID = 9030 ORDER BY ProductionOrderNumber")),
              QStringList({"240101", "240103"}));
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT ProductionCode FROM device_productioncode WHERE DeviceID = 9030")),
              QStringList{"P24100030"});
    // The old assembly record stays behind on a placeholder of the old article.
    const qint32 placeholder =
        QueryTestValue(QStringLiteral("SELECT MAX(DevID) FROM device_productcode WHERE ProductCode = 'SG-5000-A'"))
            .toInt();
    EXPECT_GT(placeholder, finalProduct);
    EXPECT_EQ(OwnAssemblyOf(placeholder).section(QLatin1Char('|'), 0, 0), oldAssembly.section(QLatin1Char('|'), 0, 0));
}

// The hand presses the left button near the lower edge of the first relay module of 9030 and slips a few
// pixels down and left before it moves on: the pointer is over the next relay module before the drag begins,
// and the tree moves its selection there. The device pressed on is the one that moves; of the same article, it
// moves without a question or password.
TEST_F(BackfitDragTest, DragMovesTheDevicePressedOnNotTheOneThePointerSlippedOnto) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());

    x.Scan(QStringLiteral("240101"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Click(window, kBackfitButtonX, kBackfitButtonY);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    ASSERT_EQ(x.WindowWidth(window), kTwoPaneWidth) << "the two-pane view did not open";
    x.Click(window, kNewAssemblyLeftX, kNewAssemblyY);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24200011"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktionscode Eingabe")));
    x.Scan(QStringLiteral("P24200012"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    const qint32 finalProduct = QueryTestValue(QStringLiteral("SELECT MIN(ID) FROM device WHERE ID > 9040")).toInt();
    ASSERT_GT(finalProduct, 9040);

    x.Click(window, kShowDeviceRightX, kShowDeviceY);
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktions- Seriennummern Eingabe")));
    x.Scan(QStringLiteral("P24100030"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Velkor")));  // "… trotzdem bearbeiten ?"
    x.Scan(QString());                                      // Ja
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));

    // Rows of 9030 on the right: the final product, LP 9031, RM 9032, RM 9033, RM 9034, …; on the left the
    // new device with its empty first relay module slot in the same row as 9032.
    const int firstRelayModuleY = kFirstRowY + 2 * kRowHeight;
    const QPoint pressed(kRightTreeX, firstRelayModuleY + kRowHeight / 2 - 2);
    // Less than the platform's drag distance, but into the next row.
    const QPoint slipped = pressed + QPoint(-3, 6);
    x.DragAlong(window, {pressed, slipped, QPoint(kLeftTreeX, firstRelayModuleY)});

    // The drop runs once the drag has ended.
    const std::string moved = std::to_string(finalProduct) + "|Z";
    QElapsedTimer timer;
    timer.start();
    while (MembershipsOf(9032).find(moved) == std::string::npos &&
           MembershipsOf(9033).find(moved) == std::string::npos && timer.elapsed() < 15000) {
        QThread::msleep(200);
    }
    EXPECT_EQ(x.FocusedWindowName().toStdString(), kMainWindow.toStdString())
        << "the move of a device of the same article asked something";
    EXPECT_EQ(MembershipsOf(9032), "9030|D0\n" + moved) << "the device pressed on did not move";
    EXPECT_EQ(MembershipsOf(9033), "9030|Z") << "the device below it was moved";
    EXPECT_EQ(MembershipsOf(9034), "9030|Z");
}

TEST_F(BackfitDragTest, ResizedAndMaximisedWindowTogglesThePanesWhichFillItAndIsRememberedAtTheNextStart) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());
    EXPECT_EQ(x.WindowWidth(window), 538);
    // The backfit button sits in the bottom right corner, wherever that is.
    const auto clickBackfit = [&] {
        const QRect frame = x.WindowGeometry(window);
        x.Click(window, frame.width() - 64, frame.height() - 35);
        ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    };

    const QRect dragged(60, 40, 1600, 1000);
    x.SetWindowGeometry(window, dragged);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    ASSERT_EQ(x.WindowGeometry(window), dragged);
    ExpectTreesFill(x, window, 1);
    clickBackfit();
    EXPECT_EQ(x.WindowWidth(window), 1600) << "the second pane changed a window the worker made wider";
    ExpectTreesFill(x, window, 2);

    // Maximised: the test server has no window manager, so the window is given the whole screen as one would.
    const QRect screen(QPoint(0, 0), x.ScreenSize());
    x.SetWindowGeometry(window, screen);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    ASSERT_EQ(x.WindowGeometry(window), screen);
    ExpectTreesFill(x, window, 2);
    clickBackfit();
    EXPECT_EQ(x.WindowGeometry(window), screen);
    ExpectTreesFill(x, window, 1);
    clickBackfit();
    ExpectTreesFill(x, window, 2);

    // Closed in the two-pane view at the dragged size: the next start opens there, in the one-pane layout.
    x.SetWindowGeometry(window, dragged);
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    ASSERT_TRUE(program.CloseAndWaitForCleanEnd(window));
    const QString again = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(again.isEmpty()) << "the main window did not appear again";
    EXPECT_EQ(x.WindowGeometry(again), dragged);
    ExpectTreesFill(x, again, 1);
}

}  // namespace
