#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>

#include "shell/KeystrokeCapture.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

// A tree with type-ahead search: the item it selects shows which characters it has seen.
class KeystrokeCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.setColumnCount(1);
        for (const char* text : {"Pumpe", "12345678", "Sensor"}) {
            tree.addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(text)}));
        }
        tree.show();
        capture.Install(&tree);
    }

    void Type(const QString& keys) {
        for (QChar c : keys) {
            const int key =
                c == QLatin1Char('\r') ? static_cast<int>(Qt::Key_Return) : static_cast<int>(c.toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
            QApplication::sendEvent(&tree, &press);
        }
    }

    void PressShift() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString());
        QApplication::sendEvent(&tree, &press);
    }

    QString Selected() const { return tree.currentItem() ? tree.currentItem()->text(0) : QString(); }

    ScriptedDialogs dialogs;
    QTreeWidget tree;
    QStringList delivered;
    QStringList lines;
    KeystrokeCapture capture{[this](const QString& code) { delivered.append(code); },
                             [this](const QString& line) { lines.append(line); }};
};

TEST_F(KeystrokeCaptureTest, DeliversScannedProductionCodeOnceWithBeepAndHidesTheP) {
    PressShift();  // a scanner sends Shift before a capital letter
    Type(QStringLiteral("P12345678\r"));

    EXPECT_EQ(delivered, QStringList{QStringLiteral("P12345678")});
    ASSERT_EQ(dialogs.Tones().size(), 1u);
    EXPECT_EQ(dialogs.Tones()[0], std::make_pair(1500, 100));
    // The digits reached the tree's type-ahead search; the leading P did not.
    EXPECT_EQ(Selected(), QStringLiteral("12345678"));
    EXPECT_FALSE(capture.CaptureActive());
    EXPECT_TRUE(capture.CaptureBuffer().isEmpty());
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(KeystrokeCaptureTest, LowerCaseAndWrongLengthsAreNoProductionCodesButLines) {
    Type(QStringLiteral("p12345678\r"));
    Type(QStringLiteral("P1234567\r"));    // 8 characters
    Type(QStringLiteral("P123456789\r"));  // 10 characters
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_TRUE(dialogs.Tones().empty());
    EXPECT_FALSE(capture.CaptureActive());
    EXPECT_EQ(lines, QStringList({"p12345678", "P1234567", "P123456789"}));
}

TEST_F(KeystrokeCaptureTest, SerialLineDeliveredWholeAndHiddenFromTheTree) {
    PressShift();
    Type(QStringLiteral("S0A1B2C3D\r"));  // the tree's type-ahead would have picked "Sensor"
    PressShift();
    Type(QStringLiteral("FM24-00999\r"));
    EXPECT_EQ(lines, QStringList({"S0A1B2C3D", "FM24-00999"}));
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_TRUE(dialogs.Tones().empty());
    EXPECT_EQ(Selected(), QString());

    // Enter alone is the tree's; a control character or the keyboard leaving the tree ends a line unseen.
    lines.clear();
    Type(QStringLiteral("\r"));
    Type(QStringLiteral("ab\x1b") + QStringLiteral("240010\r"));
    Type(QStringLiteral("cd"));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(&tree, &focusOut);
    Type(QStringLiteral("240011\r"));
    EXPECT_EQ(lines, QStringList({"240010", "240011"}));
}

TEST_F(KeystrokeCaptureTest, LetterEndsCaptureAndLaterPStartsAfresh) {
    Type(QStringLiteral("P12"));
    EXPECT_TRUE(capture.CaptureActive());
    Type(QStringLiteral("x"));
    EXPECT_FALSE(capture.CaptureActive());
    Type(QStringLiteral("345678\r"));
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(lines, QStringList{"P12x345678"});

    // A P in the middle of a capture starts a new one.
    Type(QStringLiteral("P99P87654321\r"));
    EXPECT_EQ(delivered, QStringList{QStringLiteral("P87654321")});
    EXPECT_EQ(lines.size(), 1);
}

TEST_F(KeystrokeCaptureTest, RemovedCaptureLetsEveryKeyThrough) {
    capture.Remove();
    EXPECT_FALSE(capture.IsInstalled());
    Type(QStringLiteral("P12345678\r"));
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(Selected(), QStringLiteral("Pumpe"));  // the tree saw the P
}

}  // namespace
