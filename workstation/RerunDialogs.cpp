#include "workstation/RerunDialogs.h"

RerunDialogs::RerunDialogs(UserDialogs& worker) : worker_(worker) {
    SetDialogs(this);
}

RerunDialogs::~RerunDialogs() {
    SetDialogs(&worker_);
}

void RerunDialogs::StartRerun() {
    replaying_ = true;
    next_ = 0;
}

const RerunDialogs::Kept* RerunDialogs::Replay(const QString& asked) {
    if (replaying_ && next_ < kept_.size() && kept_[next_].asked == asked) {
        return &kept_[next_++];
    }
    replaying_ = false;
    return nullptr;
}

void RerunDialogs::Keep(const QString& asked, MsgAnswer answer, const QString& input) {
    if (!replaying_) {
        kept_.push_back({asked, answer, input});
    }
}

MsgAnswer RerunDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    const QString asked = QStringLiteral("message %1 %2 %3\n").arg(static_cast<int>(buttons)).arg(title, text);
    if (const Kept* kept = Replay(asked)) {
        return kept->answer;
    }
    const MsgAnswer answer = worker_.MsgBox(text, buttons, icon, title);
    Keep(asked, answer);
    return answer;
}

QString RerunDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    const QString asked = QStringLiteral("input %1\n%2\n%3").arg(title, prompt, defaultText);
    if (const Kept* kept = Replay(asked)) {
        return kept->input;
    }
    const QString input = worker_.InputBox(prompt, title, defaultText);
    Keep(asked, MsgAnswer::Ok, input);
    return input;
}

QString RerunDialogs::PasswordBox() {
    replaying_ = false;
    return worker_.PasswordBox();
}

void RerunDialogs::Beep(int frequencyHz, int durationMs) {
    const QString asked = QStringLiteral("tone %1 %2").arg(frequencyHz).arg(durationMs);
    if (Replay(asked) != nullptr) {
        return;
    }
    worker_.Beep(frequencyHz, durationMs);
    Keep(asked, MsgAnswer::Ok);
}
