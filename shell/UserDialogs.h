#pragma once

#include <QString>

// Everything modal or audible that the workflow shows the worker goes through this interface:
// the program installs a Qt implementation, the tests a scripted one.

// YesNoDefaultNo: a question whose "Ja" goes against a rule or leaves the assembly; it opens with "Nein" as its
// default button, so that an Enter nobody meant for it declines.
enum class MsgButtons { Ok, YesNo, YesNoDefaultNo, OkCancel, RetryCancel };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A modal message box. An empty title shows the application's title. The keys of a scan that arrives while a
    // question is open do not answer it.
    virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                             const QString& title = QString()) = 0;

    // A modal input box. Cancel gives the empty text.
    virtual QString InputBox(const QString& prompt, const QString& title = QString(),
                             const QString& defaultText = QString()) = 0;

    // The modal password window "Passworteingabe": the typed password, the empty text when the window was
    // closed without one. The password is never shown or recorded anywhere.
    virtual QString PasswordBox() = 0;

    // A tone of the given frequency (Hz) and duration (ms); silent where there is no sound device.
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// The dialogs of this process. Until one is installed, every call is answered by a silent default
// (OK, No, Cancel, empty text), so code that runs before the window exists never blocks.
UserDialogs& Dialogs();

// The answer of somebody who declines whatever is asked: OK where OK is all there is, otherwise No or Cancel.
MsgAnswer DecliningAnswer(MsgButtons buttons);

// Installs the dialogs of this process (not owned); nullptr restores the silent default.
void SetDialogs(UserDialogs* dialogs);

// The title shown on message boxes that do not name one.
QString ApplicationTitle();
