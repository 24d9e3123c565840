#pragma once

#include "shell/UserDialogs.h"

// The program's dialogs: Qt message and input boxes, modal to the active window, with German
// standard buttons, and a real tone on the sound device.
class QtUserDialogs : public UserDialogs {
public:
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString PasswordBox() override;
    void Beep(int frequencyHz, int durationMs) override;
};

// Loads Qt's own German translations, so standard buttons read "Ja", "Nein", "Abbrechen", "Wiederholen".
void InstallGermanQtTranslations();
