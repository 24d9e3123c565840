#include "shell/UserDialogs.h"

namespace {

class SilentDialogs : public UserDialogs {
public:
    MsgAnswer MsgBox(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        return DecliningAnswer(buttons);
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return QString(); }
    QString PasswordBox() override { return QString(); }
    void Beep(int, int) override {}
};

SilentDialogs silentDialogs;
UserDialogs* installedDialogs = nullptr;

}  // namespace

MsgAnswer DecliningAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoDefaultNo:
            return MsgAnswer::No;
        case MsgButtons::OkCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

UserDialogs& Dialogs() {
    return installedDialogs ? *installedDialogs : silentDialogs;
}

void SetDialogs(UserDialogs* dialogs) {
    installedDialogs = dialogs;
}

QString ApplicationTitle() {
    return QStringLiteral("Velkor");
}
