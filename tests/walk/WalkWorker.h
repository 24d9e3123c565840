#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <random>

#include "shell/UserDialogs.h"
#include "tests/walk/WalkMessages.h"

// The person at the workstation: answers every dialog of one action, at random while the walk is generated or
// from the answers of a replay file, notes every answer given (for the replay file) and every dialog shown,
// and tells from the messages how the action ended. Installed as the dialogs of the process for its lifetime.
class WalkWorker : public UserDialogs {
public:
    explicit WalkWorker(std::mt19937& random);
    ~WalkWorker() override;
    WalkWorker(const WalkWorker&) = delete;
    WalkWorker& operator=(const WalkWorker&) = delete;

    // The value typed into an input box (by title and prompt) and into the password window, while generating.
    std::function<QString(const QString& title, const QString& prompt)> inputSource;
    std::function<QString()> passwordSource;

    // Starts an action: answers come from replay (consumed in order) when given, else at random. The input box
    // titled entryTitle is where the action's value is typed, not a later step.
    void BeginAction(const QStringList* replay, const QString& entryTitle = QString());
    // The answers given during the action, in order.
    QStringList Answers() const { return answers_; }
    // From now on the action is in its later steps (a record editor window has opened: a refusal there refuses a
    // click in it, not the action).
    void EnterLaterSteps() { laterSteps_ = true; }
    // While checking, dialogs are declined and not counted for the action.
    void SetChecking(bool checking) { checking_ = checking; }

    // How the action ended, by its messages.
    bool Refused() const { return refused_; }
    bool EndedInError() const { return errorEnding_; }
    bool ShowedDevice() const { return showedDevice_; }
    const QStringList& Log() const { return log_; }
    int CheckMessages() const { return checkMessages_; }

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString PasswordBox() override;
    void Beep(int frequencyHz, int durationMs) override;

private:
    // The next replay answer when it has the prefix (consumed); false when the replay has none that fits.
    bool NextReplay(const QString& prefix, QString& answer);
    bool Chance(int percent);
    bool TooMany();

    std::mt19937& random_;
    const QStringList* replay_ = nullptr;
    int replayAt_ = 0;
    QString entryTitle_;
    QStringList answers_;
    QStringList log_;
    bool checking_ = false;
    bool laterSteps_ = false;
    bool refused_ = false;
    bool errorEnding_ = false;
    bool showedDevice_ = false;
    int dialogs_ = 0;
    int retries_ = 0;
    int checkMessages_ = 0;
};
