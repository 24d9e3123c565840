#pragma once

#include <QString>
#include <vector>

#include "shell/UserDialogs.h"

// The dialogs of a scan that may run a second time from its start (after a commit a Galera cluster refused).
// While it lives it is the process's dialogs: on the first run every dialog reaches the worker and is kept
// with its answer; on the second run the same dialogs, asked in the same order, are answered as the worker
// answered them, without being shown again. From the first dialog that differs on (the second run went
// another way, say because the value is recorded now), every dialog reaches the worker.
class RerunDialogs : public UserDialogs {
public:
    explicit RerunDialogs(UserDialogs& worker);
    ~RerunDialogs() override;
    RerunDialogs(const RerunDialogs&) = delete;
    RerunDialogs& operator=(const RerunDialogs&) = delete;

    // The scan starts again: the kept dialogs are answered from here on.
    void StartRerun();

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    // A password is never kept: the window always reaches the worker.
    QString PasswordBox() override;
    void Beep(int frequencyHz, int durationMs) override;

private:
    struct Kept {
        QString asked;  // kind, buttons or title, text
        MsgAnswer answer = MsgAnswer::Ok;
        QString input;
    };
    // The kept dialog asked as the next one on the second run; null when it was not (and from then on).
    const Kept* Replay(const QString& asked);
    void Keep(const QString& asked, MsgAnswer answer, const QString& input = QString());

    UserDialogs& worker_;
    std::vector<Kept> kept_;
    size_t next_ = 0;
    bool replaying_ = false;
};
