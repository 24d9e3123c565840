#include "tests/walk/WalkWorker.h"

#include "tests/support/ScriptedDialogs.h"

namespace {

// An action that keeps asking after this many dialogs is answered with declines only (a loop of prompts).
constexpr int kMaxDialogsPerAction = 40;
constexpr int kMaxRetriesPerAction = 3;

QString AnswerName(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Ok:
            return QStringLiteral("Ok");
        case MsgAnswer::Cancel:
            return QStringLiteral("Cancel");
        case MsgAnswer::Yes:
            return QStringLiteral("Yes");
        case MsgAnswer::No:
            return QStringLiteral("No");
        case MsgAnswer::Retry:
            return QStringLiteral("Retry");
    }
    return QString();
}

bool AnswerOfName(const QString& name, MsgAnswer& answer) {
    for (MsgAnswer candidate : {MsgAnswer::Ok, MsgAnswer::Cancel, MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Retry}) {
        if (AnswerName(candidate) == name) {
            answer = candidate;
            return true;
        }
    }
    return false;
}

QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    return text.simplified();
}

}  // namespace

WalkWorker::WalkWorker(std::mt19937& random) : random_(random) {
    SetDialogs(this);
}

WalkWorker::~WalkWorker() {
    SetDialogs(nullptr);
}

void WalkWorker::BeginAction(const QStringList* replay, const QString& entryTitle) {
    replay_ = replay;
    replayAt_ = 0;
    entryTitle_ = entryTitle;
    answers_.clear();
    log_.clear();
    laterSteps_ = refused_ = errorEnding_ = showedDevice_ = false;
    dialogs_ = retries_ = 0;
    checkMessages_ = 0;
    // "Gerät anzeigen" shows a device whatever else it says.
    showedDevice_ = entryTitle == QStringLiteral("Produktions- Seriennummern Eingabe");
}

bool WalkWorker::Chance(int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random_) < percent;
}

bool WalkWorker::TooMany() {
    return ++dialogs_ > kMaxDialogsPerAction;
}

bool WalkWorker::NextReplay(const QString& prefix, QString& answer) {
    if (replay_ == nullptr || replayAt_ >= replay_->size() || !replay_->at(replayAt_).startsWith(prefix)) {
        return false;
    }
    answer = replay_->at(replayAt_++).mid(prefix.size());
    return true;
}

MsgAnswer WalkWorker::MsgBox(const QString& text, MsgButtons buttons, MsgIcon, const QString&) {
    if (checking_) {
        ++checkMessages_;
        return DecliningAnswer(buttons);
    }
    const MessageKind kind = ClassifyMessage(text, buttons);
    MsgAnswer answer = DecliningAnswer(buttons);
    if (buttons != MsgButtons::Ok) {
        QString name;
        if (replay_ != nullptr) {
            MsgAnswer replayed;
            if (replayAt_ < replay_->size() && AnswerOfName(replay_->at(replayAt_), replayed) &&
                AnswerFits(replayed, buttons)) {
                ++replayAt_;
                answer = replayed;
            }
        } else if (!TooMany()) {
            switch (buttons) {
                case MsgButtons::YesNo:
                case MsgButtons::YesNoDefaultNo:
                    answer = Chance(60) ? MsgAnswer::Yes : MsgAnswer::No;
                    break;
                case MsgButtons::OkCancel:
                    answer = Chance(75) ? MsgAnswer::Ok : MsgAnswer::Cancel;
                    break;
                case MsgButtons::RetryCancel:
                    answer = retries_ < kMaxRetriesPerAction && Chance(40) ? MsgAnswer::Retry : MsgAnswer::Cancel;
                    retries_ += answer == MsgAnswer::Retry ? 1 : 0;
                    break;
                case MsgButtons::Ok:
                    break;
            }
        }
        answers_.append(AnswerName(answer));
        if (answer == MsgAnswer::Yes &&
            text.startsWith(QStringLiteral("Der Produktionscode gehört zu einem bereits angefangenem"))) {
            showedDevice_ = true;  // the worker switches to that assembly: it is shown
        }
    }
    if (kind.cls == MessageClass::Refusal && !laterSteps_) {
        refused_ = true;
    }
    if (kind.cls == MessageClass::ErrorEnding) {
        errorEnding_ = true;
    }
    laterSteps_ = laterSteps_ || kind.laterSteps;
    log_.append(QStringLiteral("%1: %2%3")
                    .arg(QLatin1String(MessageClassName(kind.cls)), OneLine(text),
                         buttons == MsgButtons::Ok ? QString() : QStringLiteral(" -> ") + AnswerName(answer)));
    return answer;
}

QString WalkWorker::InputBox(const QString& prompt, const QString& title, const QString&) {
    if (checking_) {
        ++checkMessages_;
        return QString();
    }
    QString value;
    if (replay_ != nullptr) {
        NextReplay(QStringLiteral("in:"), value);
    } else if (!TooMany() && inputSource) {
        value = inputSource(title, prompt);
    }
    answers_.append(QStringLiteral("in:") + value);
    if (title != entryTitle_ && IsLaterStepInput(title)) {
        laterSteps_ = true;
        if (title == QStringLiteral("Produktions- Seriennummern Eingabe")) {
            showedDevice_ = true;
        }
    }
    log_.append(QStringLiteral("input %1: %2 -> \"%3\"").arg(title, OneLine(prompt), value));
    return value;
}

QString WalkWorker::PasswordBox() {
    if (checking_) {
        ++checkMessages_;
        return QString();
    }
    QString value;
    if (replay_ != nullptr) {
        NextReplay(QStringLiteral("pw:"), value);
    } else if (!TooMany() && passwordSource) {
        value = passwordSource();
    }
    answers_.append(QStringLiteral("pw:") + value);
    log_.append(QStringLiteral("password -> \"%1\"").arg(value));
    return value;
}

void WalkWorker::Beep(int, int) {}
