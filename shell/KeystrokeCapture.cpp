#include "shell/KeystrokeCapture.h"

#include <QKeyEvent>

#include "shell/Misc.h"
#include "shell/UserDialogs.h"

namespace {

constexpr int kScanBeepHz = 1500;
constexpr int kScanBeepMs = 100;
constexpr int kProductionCodeLength = 9;

}  // namespace

KeystrokeCapture::KeystrokeCapture(ScanHandler handler, QObject* parent)
    : KeystrokeCapture(std::move(handler), ScanHandler(), parent) {}

KeystrokeCapture::KeystrokeCapture(ScanHandler handler, ScanHandler lineHandler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), lineHandler_(std::move(lineHandler)) {}

bool KeystrokeCapture::Install(QObject* tree) {
    if (tree_ != nullptr || tree == nullptr) {
        return false;
    }
    tree_ = tree;
    tree_->installEventFilter(this);
    return true;
}

void KeystrokeCapture::Remove() {
    if (tree_ != nullptr) {
        tree_->removeEventFilter(this);
        tree_ = nullptr;
    }
    line_.clear();
}

void KeystrokeCapture::Clear() {
    captureBuffer_.clear();
    captureActive_ = false;
}

bool KeystrokeCapture::EndLine() {
    const QString line = line_;
    line_.clear();
    if (captureActive_) {
        const QString code = captureBuffer_;
        Clear();
        if (code.size() == kProductionCodeLength && IsNumeric(code.mid(1))) {
            Dialogs().Beep(kScanBeepHz, kScanBeepMs);
            if (handler_) {
                handler_(code);
            }
            return false;
        }
    }
    if (line.isEmpty() || !lineHandler_) {
        return false;
    }
    lineHandler_(line);
    return true;
}

bool KeystrokeCapture::HandleCharacter(QChar character) {
    if (character == QLatin1Char('\r')) {
        return EndLine();
    }
    if (character == QLatin1Char('P')) {
        captureBuffer_ = QStringLiteral("P");
        captureActive_ = true;
        line_.append(character);
        return true;
    }
    if (captureActive_) {
        if (captureBuffer_.size() <= kProductionCodeLength && character.isDigit() && character.unicode() < 128) {
            captureBuffer_.append(character);
            line_.append(character);
            return false;
        }
        Clear();
    }
    if (!character.isPrint()) {
        line_.clear();
        return false;
    }
    line_.append(character);
    return lineHandler_ != nullptr;
}

bool KeystrokeCapture::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Only character keys count; Shift and the other modifiers arrive as keys without text.
            QString text = key->text();
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                text = QStringLiteral("\r");
            }
            if (text.size() == 1) {
                return HandleCharacter(text.at(0));
            }
        } else if (event->type() == QEvent::FocusOut) {
            // What was typed before the tree lost the keyboard is no part of the next line.
            line_.clear();
        }
    }
    return QObject::eventFilter(watched, event);
}
