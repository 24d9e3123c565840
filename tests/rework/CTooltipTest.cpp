#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "rework/widgets/CTooltip.h"
#include "rework/widgets/TooltipWindow.h"

namespace {

// A window with a child covering part of it, as a tree control with its viewport.
class ReworkTooltipTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.resize(300, 200);
        child_ = new QPushButton(QStringLiteral("child"), &owner_);
        child_->setGeometry(100, 100, 80, 30);
        owner_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner_));
    }

    // The pointer rests at pos of the widget.
    static void RestOn(QWidget& widget, const QPoint& pos) {
        QHelpEvent event(QEvent::ToolTip, pos, widget.mapToGlobal(pos));
        QApplication::sendEvent(&widget, &event);
    }
    static const TooltipWindow* Tip(const CTooltip& tip) { return qobject_cast<TooltipWindow*>(tip.TipWindow()); }
    static bool Shown(const CTooltip& tip) { return tip.TipWindow() != nullptr && tip.TipWindow()->isVisible(); }
    // Visible tooltip windows of the process.
    static int TipsOnScreen() {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            count += qobject_cast<TooltipWindow*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
        }
        return count;
    }

    QWidget owner_;
    QPushButton* child_ = nullptr;
};

}  // namespace

TEST_F(ReworkTooltipTest, ShowsOneTipWhereverThePointerRestsOverTheWindow) {
    const struct {
        const char* name;
        QString title, text;
        bool multiLine;
        int style;
        QString titleLine;
        QStringList lines;
    } cases[] = {
        {"title and lines",
         "Produktionscode",
         "4711\r\nAssembliert unter Pa:20001234\r\n",
         true,
         0,
         "Produktionscode",
         {"4711", "Assembliert unter Pa:20001234", ""}},
        {"no title", "", "a & b\nc", true, 1, "", {"a & b", "c"}},
        {"one line", "T", "a\r\nb", false, 0, "T", {"a b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTooltip tip;
        tip.SetHwndParentControl(&owner_);
        tip.SetTitle(c.title);
        tip.SetText(c.text);
        tip.SetMultiLine(c.multiLine);
        tip.SetStyle(c.style);
        tip.Create();
        EXPECT_FALSE(Shown(tip));  // only when the pointer rests
        for (const auto& [widget, pos] : {std::pair<QWidget*, QPoint>{&owner_, QPoint(1, 1)},
                                          {&owner_, QPoint(299, 199)},
                                          {child_, QPoint(5, 5)}}) {
            RestOn(*widget, pos);
            EXPECT_TRUE(Shown(tip));
        }
        EXPECT_EQ(TipsOnScreen(), 1);
        EXPECT_EQ(Tip(tip)->TitleLine(), c.titleLine);
        EXPECT_EQ(Tip(tip)->Lines(), c.lines);
        // Leaving the window hides it.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&owner_, &leave);
        EXPECT_FALSE(Shown(tip));
    }
}

TEST_F(ReworkTooltipTest, RebuiltWithoutOwnerOrReleasedTheTipIsGone) {
    QWidget other;
    other.resize(100, 100);
    other.show();
    {
        CTooltip tip;
        tip.SetHwndParentControl(&owner_);
        tip.SetText("x");
        tip.Create();
        RestOn(owner_, QPoint(5, 5));
        ASSERT_EQ(TipsOnScreen(), 1);
        // Another window does not show it.
        tip.TipWindow()->hide();
        RestOn(other, QPoint(5, 5));
        EXPECT_EQ(TipsOnScreen(), 0);

        tip.SetHwndParentControl(nullptr);
        tip.Create();
        EXPECT_EQ(tip.TipWindow(), nullptr);
        RestOn(owner_, QPoint(5, 5));
        EXPECT_EQ(TipsOnScreen(), 0);

        tip.SetHwndParentControl(&owner_);
        tip.Create();
        RestOn(owner_, QPoint(5, 5));
        EXPECT_EQ(TipsOnScreen(), 1);
    }
    EXPECT_EQ(TipsOnScreen(), 0);
}

TEST_F(ReworkTooltipTest, SystemColoursStayTheSystemsOthersAreSet) {
    const struct {
        quint32 fore, back;
        QColor text, base;
    } cases[] = {
        {CTooltip::SystemToolTipForeColor, CTooltip::SystemToolTipBackColor,
         QApplication::palette().color(QPalette::ToolTipText), QApplication::palette().color(QPalette::ToolTipBase)},
        {0x0000FF, 0xFFFF00, QColor(255, 0, 0), QColor(0, 255, 255)},
    };
    for (const auto& c : cases) {
        CTooltip tip;
        tip.SetHwndParentControl(&owner_);
        tip.SetForeColor(c.fore);
        tip.SetBackColor(c.back);
        tip.Create();
        EXPECT_EQ(tip.TipWindow()->palette().color(QPalette::ToolTipText), c.text);
        EXPECT_EQ(tip.TipWindow()->palette().color(QPalette::ToolTipBase), c.base);
    }
}
