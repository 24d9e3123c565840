#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "app/FormMain.h"
#include "shell/KeystrokeCapture.h"
#include "shell/Misc.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDatabase.h"
#include "tree/NodeTree.h"
#include "tree/TreeNode.h"
#include "tree/TreeView.h"
#include "tree/widgets/TreeControlView.h"

namespace {

class FormMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestDatabase();
        ExecTestSql(
            QStringLiteral("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) "
                           "VALUES ('990001', 'T-ORD-100XY', 'Prüfgerät T100')"));
        form.Form_Load();
        QApplication::processEvents();
    }

    void PressEnter(int pane) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(form.TBPaNr(pane), &press);
    }

    ScriptedDialogs dialogs;
    FormMain form;
};

TEST_F(FormMainTest, LoadShowsOnePaneReadyWithFocusInOrderField) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velkor Tool 2.3.9"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Status(), QStringLiteral("Bereit"));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.GetFormView(), FormMain::kOnePaneWidthTwips);
    EXPECT_FALSE(form.Frame33()->isVisibleTo(&form));
    EXPECT_TRUE(form.Capture().IsInstalled());
    EXPECT_EQ(QApplication::focusWidget(), form.TBPaNr(0));
    EXPECT_EQ(form.TBPaNr(0)->objectName(), QStringLiteral("TBPaNr(0)"));
}

TEST_F(FormMainTest, LayoutWidthsInTwips) {
    form.SetFormView(2);
    EXPECT_EQ(form.GetFormView(), 16095);
    EXPECT_TRUE(form.Frame33()->isVisibleTo(&form));
    form.SetFormView(7);
    EXPECT_EQ(form.GetFormView(), 8070);
    EXPECT_FALSE(form.Frame33()->isVisibleTo(&form));
}

TEST_F(FormMainTest, BackfitButtonFollowsTheLayoutShownNotTheWidth) {
    // At the opening width the second pane widens the window, and closing it narrows it again.
    form.CB_Backfit_Click();
    EXPECT_TRUE(form.TwoPaneView());
    EXPECT_EQ(form.width(), 1073);
    form.CB_Backfit_Click();
    EXPECT_FALSE(form.TwoPaneView());
    EXPECT_EQ(form.width(), 538);

    // A window the worker made wider keeps its width; both panes share it.
    form.resize(1600, 1000);
    form.CB_Backfit_Click();
    EXPECT_TRUE(form.TwoPaneView());
    EXPECT_TRUE(form.Frame33()->isVisibleTo(&form));
    EXPECT_EQ(form.width(), 1600);
    QApplication::processEvents();
    EXPECT_NEAR(form.TreeViewCtrView(0)->width(), form.TreeViewCtrView(1)->width(), 2);
    EXPECT_GT(form.TreeViewCtrView(0)->width() + form.TreeViewCtrView(1)->width(), 1400);
    form.CB_Backfit_Click();
    EXPECT_FALSE(form.TwoPaneView());
    EXPECT_FALSE(form.Frame33()->isVisibleTo(&form));
    EXPECT_EQ(form.width(), 1600);
    EXPECT_EQ(form.CB_Backfit()->text(), QStringLiteral("Umrüstung    ---->"));

    // Maximised, the window keeps the size of the screen in both layouts.
    form.showMaximized();
    QApplication::processEvents();
    const QSize maximised = form.size();
    form.CB_Backfit_Click();
    EXPECT_TRUE(form.TwoPaneView());
    EXPECT_EQ(form.size(), maximised);
}

TEST(FormMainLoadTest, FontPointSizeSetsTheTextOfTreesAndFields) {
    ScriptedDialogs dialogs;
    qputenv("VELKOR_FONT_PT", "19");
    FormMain form;
    qunsetenv("VELKOR_FONT_PT");
    EXPECT_EQ(form.TreeViewCtrView(0)->font().pointSize(), 19);
    EXPECT_EQ(form.TreeViewCtrView(1)->font().pointSize(), 19);
    EXPECT_EQ(form.TBPaNr(0)->font().pointSize(), 19);
    EXPECT_EQ(form.TB_Status()->font().pointSize(), 19);
}

TEST_F(FormMainTest, StatusOtherThanReadyDisablesWindowInRed) {
    form.SetStatus(QStringLiteral("Aktiv"));
    EXPECT_FALSE(form.isEnabled());
    EXPECT_EQ(form.TB_Status()->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::red));
    form.SetStatus(QStringLiteral("irgendwas"));
    EXPECT_FALSE(form.isEnabled());
    form.SetStatus(QStringLiteral("Bereit"));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.TB_Status()->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
}

TEST_F(FormMainTest, EnterOnKnownOrderShowsArticleAndDescriptionAndMovesToNewAssembly) {
    form.TBPaNr(0)->setText(QStringLiteral("990001"));
    form.SetStatus(QStringLiteral("Aktiv"));
    PressEnter(0);
    EXPECT_EQ(form.TB_ArtNr(0)->text(), QStringLiteral("T-ORD-100XY"));
    EXPECT_EQ(form.TB_Name(0)->text(), QStringLiteral("Prüfgerät T100"));
    EXPECT_EQ(form.Status(), QStringLiteral("Bereit"));
    EXPECT_EQ(QApplication::focusWidget(), form.CBNewAss(0));
    EXPECT_TRUE(dialogs.Messages().isEmpty())
        << dialogs.Messages().join(QLatin1Char('|')).toStdString();  // leaving the field did not check again
}

TEST_F(FormMainTest, EnterMessagesForBadAndUnknownOrders) {
    form.TB_ArtNr(0)->setText(QStringLiteral("ALT"));
    form.TB_Name(0)->setText(QStringLiteral("alte Bezeichnung"));
    form.TBPaNr(0)->setText(QStringLiteral("12a"));
    PressEnter(0);
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Bitte einen numerischen Wert eingeben")});
    EXPECT_TRUE(form.TB_ArtNr(0)->text().isEmpty());
    EXPECT_EQ(dialogs.Entries()[0].title, QStringLiteral("Velkor"));
    EXPECT_EQ(dialogs.Entries()[0].buttons, MsgButtons::Ok);

    // Neither a refused nor an unknown number leaves the previous order on screen to scan into: the pane is
    // emptied and the worker corrects the number where it was scanned.
    for (const QString& paNr : {QStringLiteral("424242"), QStringLiteral("12a")}) {
        form.TBPaNr(0)->setText(QStringLiteral("240101"));
        PressEnter(0);
        form.RefreshTreeView();
        ASSERT_GT(form.TreeViewCtr(0).Count(), 0);
        dialogs.Clear();
        form.TBPaNr(0)->setText(paNr);
        PressEnter(0);
        EXPECT_EQ(dialogs.Messages().value(0), paNr == "12a" ? QStringLiteral("Bitte einen numerischen Wert eingeben")
                                                             : QStringLiteral("Unbekannter Produktionsauftrag"));
        EXPECT_TRUE(form.TB_ArtNr(0)->text().isEmpty());
        EXPECT_TRUE(form.TB_Name(0)->text().isEmpty());
        EXPECT_EQ(form.TreeViewCtr(0).Count(), 0);
        EXPECT_EQ(QApplication::focusWidget(), form.TBPaNr(0));
    }

    // An empty field: no check, no message, but ready and the focus moves on.
    dialogs.Clear();
    form.TBPaNr(0)->setFocus();
    form.TBPaNr(0)->clear();
    PressEnter(0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), form.CBNewAss(0));
}

TEST_F(FormMainTest, OrderWithBlanksIsLookedUpAsTyped) {
    form.TBPaNr(0)->setText(QStringLiteral(" 990001 "));
    PressEnter(0);
    // The ERP copy holds the number without blanks; the lookup does not trim it.
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Unbekannter Produktionsauftrag")});
}

TEST_F(FormMainTest, PaneOneEntryMovesToItsSwapButton) {
    form.SetFormView(2);
    form.TBPaNr(1)->setText(QStringLiteral("990001"));
    PressEnter(1);
    EXPECT_EQ(form.TB_ArtNr(1)->text(), QStringLiteral("T-ORD-100XY"));
    EXPECT_EQ(QApplication::focusWidget(), form.CB_SwapDevice(1));
}

TEST_F(FormMainTest, LeavingOrderFieldChecksItAndForgetsClickedNode) {
    form.SetSelectedNodeIndex(3);
    form.TBPaNr(0)->setFocus();
    form.TBPaNr(0)->setText(QStringLiteral("990001"));
    form.CB_Backfit()->setFocus();
    EXPECT_EQ(form.TB_ArtNr(0)->text(), QStringLiteral("T-ORD-100XY"));
    EXPECT_FALSE(form.SelectedNodeIndex().isValid());
    EXPECT_EQ(QApplication::focusWidget(), form.CB_Backfit());  // leaving never holds the focus
}

TEST_F(FormMainTest, RefreshTreeViewShowsExpectedStructureOfDemoOrderInPaneZero) {
    form.TBPaNr(0)->setText(QStringLiteral("240101"));
    form.RefreshTreeView();
    NodeTree& nodes = form.TreeViewCtr(0);
    ASSERT_GT(nodes.Count(), 1);
    EXPECT_EQ(nodes.Item(0)->Key(), QStringLiteral("SG-5000-A 0"));
    EXPECT_EQ(nodes.Item(0)->Image(), QStringLiteral("Unknown"));
    // Three pieces of the relay module, in piece order.
    EXPECT_NE(nodes.Item(QStringLiteral("RM-5120-A 1")), nullptr);
    EXPECT_NE(nodes.Item(QStringLiteral("RM-5120-A 3")), nullptr);
    EXPECT_EQ(nodes.Item(QStringLiteral("GS-5500-A 2")), nullptr);  // nothing to capture: no node
    EXPECT_EQ(form.TreeViewCtr(1).Count(), 0);
    EXPECT_EQ(form.Status(), QStringLiteral("Bereit"));
    EXPECT_TRUE(dialogs.Messages().isEmpty());

    // An order the ERP copy does not know leaves the tree as it is, without a message.
    form.TBPaNr(0)->setText(QStringLiteral("111111"));
    const int count = nodes.Count();
    form.RefreshTreeView();
    EXPECT_EQ(nodes.Count(), count);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(FormMainTest, NodeClickRemembersNodeAndPaneAndMouseButton) {
    form.SetFormView(2);
    form.TBPaNr(0)->setText(QStringLiteral("240101"));
    form.RefreshTreeView();
    QApplication::processEvents();
    TreeControlView* view = form.TreeViewCtrView(0);
    const QModelIndex second = view->IndexOf(form.TreeViewCtr(0).Item(1));
    ASSERT_TRUE(second.isValid());
    const QPoint where = view->visualRect(second).center();
    form.Tree().SetTreeViewIndex(1);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, where, view->viewport()->mapToGlobal(where), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    EXPECT_EQ(form.SelectedNodeIndex(), QVariant(1));
    EXPECT_EQ(form.Tree().TreeViewIndex(), 0);
    EXPECT_EQ(form.LastMouseButton(), 1);
}

TEST(FormMainLoadTest, ShiftHeldAtLoadLeavesTreeWithoutCapture) {
    ScriptedDialogs dialogs;
    QWindow keyboard;
    keyboard.show();
    QTest::keyPress(&keyboard, Qt::Key_Shift, Qt::ShiftModifier);
    ASSERT_TRUE(IsShiftKeyDown());

    FormMain form;
    form.SetEndProcess([] {});
    form.Form_Load();
    EXPECT_FALSE(form.Capture().IsInstalled());
    QTest::keyRelease(&keyboard, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_FALSE(IsShiftKeyDown());
    form.close();  // nothing to remove
    EXPECT_FALSE(form.Capture().IsInstalled());
}

TEST_F(FormMainTest, UnloadRemovesCaptureAndEndsProcess) {
    int ended = 0;
    form.SetEndProcess([&ended] { ++ended; });
    form.close();
    EXPECT_FALSE(form.Capture().IsInstalled());
    EXPECT_EQ(ended, 1);
}

}  // namespace
