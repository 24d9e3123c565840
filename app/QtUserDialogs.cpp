#include "app/QtUserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>
#include <optional>

#include "rework/widgets/FormPassW.h"
#include "shell/Tone.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return QMessageBox::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoDefaultNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Gives the keyboard back to the window that had it once a modal box closes. Where no window manager
// activates that window again, the keyboard would otherwise stay with no window, and the next scan
// would go nowhere.
// The window a box belongs to: the active one, or, while the activation after the previous box is still
// on its way, the program's visible main window.
QWidget* OwnerWindow() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QDialog*>(window) == nullptr) {
            return window;
        }
    }
    return nullptr;
}

class KeyboardBackAfterwards {
public:
    KeyboardBackAfterwards() : window_(OwnerWindow()) {}
    ~KeyboardBackAfterwards() {
        if (!window_.isNull() && window_->isVisible()) {
            window_->activateWindow();
        }
    }
    KeyboardBackAfterwards(const KeyboardBackAfterwards&) = delete;
    KeyboardBackAfterwards& operator=(const KeyboardBackAfterwards&) = delete;

private:
    QPointer<QWidget> window_;
};

// Keeps a scan that arrives while a question is open from answering it: a keyboard-wedge scanner types its
// characters and ends with Enter. Printable keys never reach the box (a letter would otherwise press the
// button whose mnemonic it is), and the Enter that ends such characters is dropped with them; only an Enter
// or a key the worker gives on its own answers the question.
class ScanKeysIgnored : public QObject {
public:
    explicit ScanKeysIgnored(QWidget& box) : box_(box) { QApplication::instance()->installEventFilter(this); }
    ~ScanKeysIgnored() override { QApplication::instance()->removeEventFilter(this); }
    ScanKeysIgnored(const ScanKeysIgnored&) = delete;
    ScanKeysIgnored& operator=(const ScanKeysIgnored&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || (widget != &box_ && !box_.isAncestorOf(widget))) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool printable = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (printable) {
            scanPending_ = true;
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (scanPending_) {
                if (event->type() == QEvent::KeyRelease) {
                    scanPending_ = false;
                }
                return true;
            }
        }
        return false;
    }

private:
    QWidget& box_;
    bool scanPending_ = false;
};

}  // namespace

MsgAnswer QtUserDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    const KeyboardBackAfterwards keyboardBack;
    QMessageBox box(IconOf(icon), title.isEmpty() ? ApplicationTitle() : title, text, ButtonsOf(buttons),
                    OwnerWindow());
    box.setWindowModality(Qt::ApplicationModal);
    std::optional<ScanKeysIgnored> scanKeysIgnored;
    if (buttons != MsgButtons::Ok) {
        scanKeysIgnored.emplace(box);
    }
    if (buttons == MsgButtons::YesNoDefaultNo) {
        box.setDefaultButton(QMessageBox::No);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Retry:
            return MsgAnswer::Retry;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        default:
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : DecliningAnswer(buttons);
    }
}

QString QtUserDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    const KeyboardBackAfterwards keyboardBack;
    bool accepted = false;
    const QString text = QInputDialog::getText(OwnerWindow(), title.isEmpty() ? ApplicationTitle() : title, prompt,
                                               QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

QString QtUserDialogs::PasswordBox() {
    const KeyboardBackAfterwards keyboardBack;
    FormPassW form(OwnerWindow());
    form.exec();
    return form.Password();
}

void QtUserDialogs::Beep(int frequencyHz, int durationMs) {
    PlayTone(frequencyHz, durationMs);
}

void InstallGermanQtTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
