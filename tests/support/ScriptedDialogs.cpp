#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

bool AnswerFits(MsgAnswer answer, MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return answer == MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoDefaultNo:
            return answer == MsgAnswer::Yes || answer == MsgAnswer::No;
        case MsgButtons::OkCancel:
            return answer == MsgAnswer::Ok || answer == MsgAnswer::Cancel;
        case MsgButtons::RetryCancel:
            return answer == MsgAnswer::Retry || answer == MsgAnswer::Cancel;
    }
    return false;
}

ScriptedDialogs::ScriptedDialogs() {
    SetDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    SetDialogs(nullptr);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) were never asked for";
    EXPECT_TRUE(inputs_.empty()) << inputs_.size() << " scripted input(s) were never asked for";
}

void ScriptedDialogs::QueueAnswer(MsgAnswer answer) {
    answers_.push_back(answer);
}

void ScriptedDialogs::QueueInput(const QString& text) {
    inputs_.push_back(text);
}

QStringList ScriptedDialogs::Messages() const {
    QStringList texts;
    for (const Entry& entry : entries_) {
        if (entry.kind == Entry::Kind::Message) {
            texts.append(entry.text);
        }
    }
    return texts;
}

QStringList ScriptedDialogs::Prompts() const {
    QStringList texts;
    for (const Entry& entry : entries_) {
        if (entry.kind == Entry::Kind::Input) {
            texts.append(entry.text);
        }
    }
    return texts;
}

int ScriptedDialogs::PasswordPrompts() const {
    int count = 0;
    for (const Entry& entry : entries_) {
        count += entry.kind == Entry::Kind::Password ? 1 : 0;
    }
    return count;
}

std::vector<std::pair<int, int>> ScriptedDialogs::Tones() const {
    std::vector<std::pair<int, int>> tones;
    for (const Entry& entry : entries_) {
        if (entry.kind == Entry::Kind::Tone) {
            tones.emplace_back(entry.frequencyHz, entry.durationMs);
        }
    }
    return tones;
}

MsgAnswer ScriptedDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    entries_.push_back({Entry::Kind::Message, text, title.isEmpty() ? ApplicationTitle() : title, buttons, icon, 0, 0});
    if (buttons == MsgButtons::Ok) {
        return MsgAnswer::Ok;
    }
    if (answers_.empty()) {
        ADD_FAILURE() << "Unscripted question: " << text.toStdString();
        return DecliningAnswer(buttons);
    }
    const MsgAnswer answer = answers_.front();
    answers_.pop_front();
    EXPECT_TRUE(AnswerFits(answer, buttons)) << "Scripted answer does not fit the buttons of: " << text.toStdString();
    return answer;
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString&) {
    entries_.push_back({Entry::Kind::Input, prompt, title.isEmpty() ? ApplicationTitle() : title, MsgButtons::OkCancel,
                        MsgIcon::None, 0, 0});
    if (inputs_.empty()) {
        ADD_FAILURE() << "Unscripted input box: " << prompt.toStdString();
        return QString();
    }
    const QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

QString ScriptedDialogs::PasswordBox() {
    // The typed password is not recorded, only that the window was shown.
    entries_.push_back(
        {Entry::Kind::Password, QString(), QStringLiteral("Passworteingabe"), MsgButtons::Ok, MsgIcon::None, 0, 0});
    if (inputs_.empty()) {
        ADD_FAILURE() << "Unscripted password window";
        return QString();
    }
    const QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

void ScriptedDialogs::Beep(int frequencyHz, int durationMs) {
    entries_.push_back(
        {Entry::Kind::Tone, QString(), QString(), MsgButtons::Ok, MsgIcon::None, frequencyHz, durationMs});
}
