#pragma once

#include <QString>

#include "shell/UserDialogs.h"

// What a message box tells about the action that showed it. The one table that decides it is in
// WalkMessages.cpp.
enum class MessageClass {
    Info,         // a note; says nothing about the outcome
    Question,     // a message box with more than an OK button
    Refusal,      // the action is refused: nothing of it may be recorded
    StepRefusal,  // a later step is refused (a completion prompt); what the action recorded before stays
    ErrorEnding,  // an error ended the action: what it wrote is to be rolled back
};

struct MessageKind {
    MessageClass cls = MessageClass::Info;
    // From this message on the action is in its later steps (completion, confirmation, follow-up, switch):
    // refusals there refuse a step, not the action.
    bool laterSteps = false;
};

MessageKind ClassifyMessage(const QString& text, MsgButtons buttons);

// The titles of the input boxes that belong to the later steps of a scan (completion prompts, the device
// shown by a follow-up).
bool IsLaterStepInput(const QString& title);

const char* MessageClassName(MessageClass cls);
