#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <utility>
#include <vector>

#include "shell/UserDialogs.h"

// Whether an answer is one of the buttons of a message box.
bool AnswerFits(MsgAnswer answer, MsgButtons buttons);

// The dialogs double of the tests: records every message box, input box and tone, and answers
// from a queue. A question (any message box with more than an OK button, any input box) that the
// test did not script fails the test. Installed for its lifetime.
class ScriptedDialogs : public UserDialogs {
public:
    struct Entry {
        enum class Kind { Message, Input, Password, Tone };
        Kind kind;
        QString text;  // message text or input prompt
        QString title;
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
        int frequencyHz = 0;
        int durationMs = 0;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answers for the next questions, in order. The password window takes its answer from the inputs.
    void QueueAnswer(MsgAnswer answer);
    void QueueInput(const QString& text);

    const std::vector<Entry>& Entries() const { return entries_; }
    QStringList Messages() const;  // texts of the message boxes, in order
    QStringList Prompts() const;   // prompts of the input boxes, in order
    int PasswordPrompts() const;   // how often the password window was shown
    std::vector<std::pair<int, int>> Tones() const;
    void Clear() { entries_.clear(); }
    // Forgets the record and the answers not asked for (a step that ended early).
    void Forget() {
        entries_.clear();
        answers_.clear();
        inputs_.clear();
    }

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString PasswordBox() override;
    void Beep(int frequencyHz, int durationMs) override;

private:
    std::vector<Entry> entries_;
    std::deque<MsgAnswer> answers_;
    std::deque<QString> inputs_;
};
