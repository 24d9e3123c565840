#include <gtest/gtest.h>

#include <QThread>

#include "tests/support/TestDatabase.h"
#include "tests/support/XWindowDriver.h"

// A worker assembles one demo device in the real program with the scanner alone (keys ended by Enter), answering
// every box with the keyboard; the mouse is never touched. The test never moves the keyboard itself: every value
// goes to whatever the program left focused.
namespace {

const QString kMainWindow = QStringLiteral("Velkor Tool 2.3.9");
const QString kMessageBox = QStringLiteral("Velkor");

// Where the one-pane window lays out its controls on the test display (pixels from the window's top left).
constexpr int kOrderFieldX = 300, kOrderFieldY = 37;
constexpr int kTreeX = 120, kFirstRowY = 119, kRowHeight = 18;
// Rows of order 240101 laid out by "Neuer Zusammenbau": the final product, LP, RM 1-3, NT, FM, AM, BG.
constexpr int kBoardRow = 1, kDisplayModuleRow = 7;

int RowY(int row) {
    return kFirstRowY + row * kRowHeight;
}

struct Step {
    const char* typed;       // scanned or typed, ended by Enter
    const char* focusAfter;  // the window that must have the keyboard afterwards
};

class ScannerWalkThroughTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(program.Display().isEmpty()) << "No X server for the window tests: run them through scripts/test";
        ResetTestDatabase();
    }

    RealProgram program;
};

// Rows of the devices the walk-through recorded: article/suffix, codes, serials:ExtFlag, orders, and the
// own assembly row's order and OK flag, oldest device first.
QStringList NewDevices() {
    return QueryTestRows(QStringLiteral(
        "SELECT (SELECT GROUP_CONCAT(ProductCode, '/', IFNULL(Suffix, '-')) FROM device_productcode WHERE DevID = "
        "d.ID), "
        "(SELECT GROUP_CONCAT(ProductionCode ORDER BY ProductionCode) FROM device_productioncode WHERE DeviceID = "
        "d.ID), "
        "(SELECT GROUP_CONCAT(SerialNumber, ':', ExtFlag) FROM device_serialnumber WHERE DeviceID = d.ID), "
        "(SELECT GROUP_CONCAT(ProductionOrderNumber) FROM device_productionordernumber WHERE DeviceID = d.ID), "
        "(SELECT GROUP_CONCAT(MasterProdOrder, '/', OKFlag) FROM device_assembly WHERE AssemblyType = 'A' AND "
        "Device_Assembly = d.ID) "
        "FROM device d WHERE d.ID > 9040 ORDER BY d.ID"));
}

// The members of the final product of order 240101 built here, by article.
QStringList MembersOfNewFinalProduct() {
    return QueryTestRows(QStringLiteral(
        "SELECT pc.ProductCode FROM device_assembly root "
        "JOIN device_assembly member ON member.AssemblyNum = root.AssemblyNum AND member.AssemblyType = 'Z' "
        "JOIN device_assembly own ON own.AssemblyNum = member.Device_Assembly AND own.AssemblyType = 'A' "
        "JOIN device_productcode pc ON pc.DevID = own.Device_Assembly "
        "WHERE root.AssemblyType = 'A' AND root.Device_Assembly = (SELECT MIN(ID) FROM device WHERE ID > 9040) "
        "ORDER BY member.ID"));
}

TEST_F(ScannerWalkThroughTest, OneDeviceOfTheDemoOrderByScannerAloneThenTheNextLaidOut) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());

    const Step steps[] = {
        {"240101", "Velkor Tool 2.3.9"},           // order field, Enter: the focus moves to the button
        {"", "Velkor Tool 2.3.9"},                 // Enter on "Neuer Zusammenbau": cursor on LP
        {"P24200001", "Produktionscode Eingabe"},  // LP carries two codes: the second is asked for
        {"P24200002", "Velkor Tool 2.3.9"},        // cursor to RM 1
        {"P24200003", "Velkor Tool 2.3.9"},        // RM 1, 2, 3
        {"P24200004", "Velkor Tool 2.3.9"},        //
        {"P24200005", "Velkor Tool 2.3.9"},        //
        {"P24200006", "Seriennummer Eingabe"},     // NT needs its serial number
        {"240010", "Velkor Tool 2.3.9"},           // cursor to FM
        {"FM24-00999", "Velkor Tool 2.3.9"},       // its external serial, scanned into the tree
        {"XYZ-1", "Velkor"},                       // no known format, AM takes no external serial:
        {"", "Velkor Tool 2.3.9"},                 // refused with a beep, OK, back on AM
        {"P24100001", "Velkor Tool 2.3.9"},        // a recorded, tested display module
        {"P24100021", "Velkor Tool 2.3.9"},        // a component of the pre-assembled BG 9020
        {"P24200007", "Seriennummer Eingabe"},     // the device's own code, then its serial number
        {"240002", "Velkor"},                      // "Bitte vollständige Asemblierung bestätigen"
        {"", "Velkor Tool 2.3.9"},                 // OK: the next device is laid out, cursor on LP
        {"P24200008", "Produktionscode Eingabe"},  // the next device's main board
        {"P24200009", "Velkor Tool 2.3.9"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed);
        x.Scan(QString::fromLatin1(step.typed));
        ASSERT_TRUE(x.WaitForFocus(QString::fromUtf8(step.focusAfter)))
            << "the keyboard is with \"" << x.FocusedWindowName().toStdString() << "\"";
    }

    EXPECT_EQ(NewDevices(), QStringList({
                                "SG-5000-A/-|P24200007|240002:0|240101|240101/1",
                                "LP-5100-A/2|P24200001,P24200002|NULL|NULL|240101/1",
                                "RM-5120-A/1|P24200003|NULL|NULL|240101/1",
                                "RM-5120-A/2|P24200004|NULL|NULL|240101/1",
                                "RM-5120-A/3|P24200005|NULL|NULL|240101/1",
                                "NT-5200-A/-|P24200006|240010:0|NULL|240101/1",
                                "FM-5300-A/2|NULL|FM24-00999:1|NULL|240101/1",
                                "SG-5000-A/-|NULL|NULL|240101|240101/1",  // the next device, started
                                "LP-5100-A/2|P24200008,P24200009|NULL|NULL|240101/1",
                            }));
    EXPECT_EQ(MembersOfNewFinalProduct(), QStringList({"LP-5100-A", "RM-5120-A", "RM-5120-A", "RM-5120-A", "NT-5200-A",
                                                       "FM-5300-A", "AM-5400-A", "BG-5600-B"}));
}

// A scanner types its characters and ends with Enter: a scan that comes while a question is open must not
// answer it, and a bare Enter takes the default, which is "Nein" for a question whether to go on against a rule.
TEST_F(ScannerWalkThroughTest, ScanWhileAQuestionIsOpenLeavesItOpenAndABareEnterDeclines) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());
    x.Scan(QStringLiteral("240101"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QString());  // "Neuer Zusammenbau"
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    const QStringList before = TraceabilityRows();

    // The display module must be tested: a failed one is asked about.
    x.Click(window, kTreeX, RowY(kDisplayModuleRow));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24100002"));
    ASSERT_TRUE(x.WaitForFocus(kMessageBox)) << "no question about the untested article";
    // The next code comes from the scanner while the question is open: the box stays and nothing is written.
    x.Scan(QStringLiteral("P24200004"));
    QThread::msleep(1000);
    EXPECT_TRUE(x.WaitForFocus(kMessageBox))
        << "the scan answered the question; the keyboard is with \"" << x.FocusedWindowName().toStdString() << "\"";
    EXPECT_EQ(TraceabilityRows(), before);
    // A bare Enter is "Nein": nothing recorded, and the keyboard is back in the tree on the same node.
    x.Scan(QString());
    ASSERT_TRUE(x.WaitForFocus(kMainWindow))
        << "the keyboard is with \"" << x.FocusedWindowName().toStdString() << "\"";
    EXPECT_EQ(TraceabilityRows(), before);
    x.Scan(QStringLiteral("P24100001"));  // a tested display module is taken without a question
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    EXPECT_EQ(MembersOfNewFinalProduct(), QStringList{"AM-5400-A"});

    // The offer to switch to the assembly a code belongs to is declined by a bare Enter too: the new assembly
    // stays on screen and takes the next board.
    x.Click(window, kTreeX, RowY(kBoardRow));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24100031"));  // the main board of 9030
    ASSERT_TRUE(x.WaitForFocus(kMessageBox)) << "no offer to switch";
    x.Scan(QString());
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24200001"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktionscode Eingabe")));
    x.Scan(QStringLiteral("P24200002"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    EXPECT_EQ(MembersOfNewFinalProduct(), QStringList({"AM-5400-A", "LP-5100-A"}));
    EXPECT_EQ(QueryTestRows(QStringLiteral("SELECT COUNT(*) FROM device_assembly WHERE AssemblyType = 'Z' AND "
                                           "AssemblyNum = (SELECT AssemblyNum FROM device_assembly WHERE "
                                           "AssemblyType = 'A' AND Device_Assembly = 9030)")),
              QStringList{"8"})
        << "9030 lost a component";
}

// An order number that is no order leaves nothing to scan into: the pane is emptied and the keyboard stays in
// the order field, where the corrected number is scanned.
TEST_F(ScannerWalkThroughTest, UnknownOrderEmptiesThePaneAndKeepsTheKeyboardInTheOrderField) {
    const QString window = program.StartAndWaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear with the keyboard";
    XWindowDriver x(program.Display());
    x.Scan(QStringLiteral("240101"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QString());  // "Neuer Zusammenbau": the keyboard is in the tree
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    const QStringList before = TraceabilityRows();

    const auto scanUnknownOrder = [&] {
        x.Click(window, kOrderFieldX, kOrderFieldY);
        x.Key(QStringLiteral("ctrl+a"));
        x.Scan(QStringLiteral("249999"));
        ASSERT_TRUE(x.WaitForFocus(kMessageBox)) << "\"Unbekannter Produktionsauftrag\" was not shown";
        x.Scan(QString());  // OK
        ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    };

    // The tree of 240101 is gone: a code scanned where the main board was records nothing.
    ASSERT_NO_FATAL_FAILURE(scanUnknownOrder());
    x.Click(window, kTreeX, RowY(kBoardRow));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24200001"));
    ASSERT_TRUE(x.WaitForFocus(kMessageBox)) << "the scan into the empty tree was not refused";  // no order
    x.Scan(QString());
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    EXPECT_EQ(TraceabilityRows(), before);

    // The keyboard stays in the order field with the number selected: the known order scanned over it is
    // taken, and the next Enter lays out a new device.
    ASSERT_NO_FATAL_FAILURE(scanUnknownOrder());
    x.Scan(QStringLiteral("240101"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QString());  // "Neuer Zusammenbau"
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    x.Scan(QStringLiteral("P24200001"));
    ASSERT_TRUE(x.WaitForFocus(QStringLiteral("Produktionscode Eingabe")))
        << "the keyboard did not end up on the main board of a new device";
    x.Scan(QStringLiteral("P24200002"));
    ASSERT_TRUE(x.WaitForFocus(kMainWindow));
    EXPECT_EQ(NewDevices(), QStringList({"SG-5000-A/-|NULL|NULL|240101|240101/1",
                                         "LP-5100-A/2|P24200001,P24200002|NULL|NULL|240101/1"}));
}

}  // namespace
