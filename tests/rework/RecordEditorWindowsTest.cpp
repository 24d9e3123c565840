#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/QtUserDialogs.h"
#include "rework/DeviceRecordsModel.h"
#include "rework/TreeRework.h"
#include "rework/widgets/CTooltip.h"
#include "rework/widgets/FormPassW.h"
#include "rework/widgets/NodeTooltipPresenter.h"
#include "rework/widgets/QtRecordEditors.h"
#include "rework/widgets/RecordEditorForm.h"
#include "tests/rework/ReworkTestHost.h"

namespace {

const QString kEditorPassword = QStringLiteral("Rk2Wq9TzLm4Xc7VbN1sD");

// Plays the worker in the next modal window: act runs with it once it is up. Cancelled when it goes out of
// scope before a modal window came up.
class InModalWindow {
public:
    explicit InModalWindow(std::function<void(QWidget&)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                timer_.stop();
                seen_ = modal->windowTitle();
                act_(*modal);
            }
        });
        timer_.start();
    }
    // Caption of the window acted in; empty when none came up.
    const QString& Seen() const { return seen_; }

private:
    std::function<void(QWidget&)> act_;
    QTimer timer_;
    QString seen_;
};

// The context-menu entries on the demo device 9030, with the program's own editor windows.
class ReworkEditorWindowsTest : public ReworkTest {
protected:
    QWidget trees_[2];
    NodeTooltipPresenter presenter_{{&trees_[0], &trees_[1]}};
    QtRecordEditors editors_{nullptr};
    TreeRework rework_{host_, presenter_, editors_};
};

}  // namespace

TEST_F(ReworkEditorWindowsTest, PasswordWindowMasksTheEntryAndClosesOnEnterOrOk) {
    QtUserDialogs dialogs;
    const struct {
        const char* name;
        QString typed;
        int finish;  // 0 Enter, 1 OK button, 2 window closed
        QString result;
    } cases[] = {
        {"Enter", kEditorPassword, 0, kEditorPassword},
        {"OK", "abc", 1, "abc"},
        {"closed", "abc", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString shown;
        InModalWindow worker([&](QWidget& window) {
            auto& form = dynamic_cast<FormPassW&>(window);
            // The window gets the keyboard once the platform has activated it.
            QElapsedTimer waited;
            waited.start();
            while (QApplication::focusWidget() != form.TB_PassW() && waited.elapsed() < 5000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            EXPECT_EQ(QApplication::focusWidget(), form.TB_PassW());
            QTest::keyClicks(form.TB_PassW(), c.typed);
            shown = form.TB_PassW()->displayText();
            if (c.finish == 0) {
                QTest::keyClick(form.TB_PassW(), Qt::Key_Return);
            } else if (c.finish == 1) {
                form.OKButton()->click();
            } else {
                form.close();
            }
        });
        EXPECT_EQ(dialogs.PasswordBox(), c.result);
        EXPECT_EQ(worker.Seen(), "Passworteingabe");
        EXPECT_EQ(shown, QString(c.typed.size(), QLatin1Char('*')));
    }
}

TEST_F(ReworkEditorWindowsTest, OnlyTheEditorPasswordOpensAnEditor) {
    LoadDemoDevice();
    const struct {
        const char* name;
        bool serials;
        QString password;
        QString caption;  // of the editor opened; empty for none
        QStringList messages;
    } cases[] = {
        {"serials, right password", true, kEditorPassword, "device_Serial", {}},
        {"serials, wrong password", true, "rk2wq9tzlm4xc7vbn1sd", "", {"Falsches Passwort"}},
        {"codes, right password", false, kEditorPassword, "device_productioncode", {}},
        {"codes, wrong password", false, "", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Nodes().SetSelectedItem(Node("9031K0"));
        dialogs_.QueueInput(c.password);
        InModalWindow worker([](QWidget& window) { window.close(); });
        c.serials ? rework_.MnuEditSer_Click() : rework_.MnuDelete_Click();
        EXPECT_EQ(worker.Seen(), c.caption);
        EXPECT_EQ(TakeMessages(), c.messages);
    }
}

TEST_F(ReworkEditorWindowsTest, AfterAnEditorTheCountersAndDetailsShowTheChange) {
    TreeNode* root = LoadDemoDevice();
    TreeNode* lp = Node("9031K0");
    rework_.OnMouseMove(0, 0, lp);  // details up before the edit
    ASSERT_TRUE(presenter_.NodeTooltip()->Text().contains("2: P24100032"));

    Nodes().SetSelectedItem(lp);
    dialogs_.QueueInput(kEditorPassword);
    InModalWindow worker([](QWidget& window) {
        auto& form = dynamic_cast<RecordEditorForm&>(window);
        form.GrdDataGrid()->setCurrentIndex(form.DatPrimaryRS().index(0, 0));
        form.CmdDelete()->click();
        form.close();
    });
    rework_.MnuDelete_Click();

    EXPECT_EQ(lp->Text(), "LP-5100-A" + Blanks(16) + "P(1/2)");
    EXPECT_EQ(lp->Image(), "Unknown");
    EXPECT_EQ(OkFlagOf(9031), 0);
    EXPECT_EQ(root->Text(), "SG-5000-A" + Blanks(16) + "P(10/1) S(1/1)");
    // The same node under the pointer shows the codes as they are now.
    rework_.OnMouseMove(0, 0, lp);
    EXPECT_TRUE(presenter_.NodeTooltip()->Text().contains("1: P24100032"));
    EXPECT_FALSE(presenter_.NodeTooltip()->Text().contains("2: "));
}

TEST_F(ReworkEditorWindowsTest, TypingIntoTheNewRowLineAddsARowOfTheDevice) {
    FormSerEdit form;
    form.SetDevId(9030);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.CmdAdd()->click();
    auto* editor = form.GrdDataGrid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "240777");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the grid takes the typed value over

    // Before anything is written the new row names the device.
    DeviceRecordsModel& rows = form.DatPrimaryRS();
    ASSERT_EQ(rows.NewRowLine(), 2);
    EXPECT_EQ(rows.index(1, DeviceRecordsModel::ValueColumn).data().toString(), "240777");
    EXPECT_EQ(rows.index(1, DeviceRecordsModel::DeviceIdColumn).data().toInt(), 9030);
    EXPECT_EQ(CountTestRows("device_serialnumber", "DeviceID = 9030"), 1);

    form.close();  // closing writes what was typed
    EXPECT_EQ(QueryTestRows(
                  "SELECT SerialNumber, ExtFlag FROM device_serialnumber WHERE DeviceID = 9030 ORDER BY SerialNumber"),
              QStringList({"240001|0", "240777|0"}));
}
