#include "shell/widgets/QtUserDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "shell/Tone.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return QMessageBox::Ok;
        case MsgButtons::YesNo:
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

}  // namespace

MsgAnswer QtUserDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    QMessageBox box(IconOf(icon), title.isEmpty() ? ApplicationTitle() : title, text, ButtonsOf(buttons),
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Retry:
            return MsgAnswer::Retry;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        default:
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok
                                             : (buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel);
    }
}

QString QtUserDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), title.isEmpty() ? ApplicationTitle() : title, prompt,
                              QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
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
