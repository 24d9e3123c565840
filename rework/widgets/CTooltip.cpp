#include "rework/widgets/CTooltip.h"

#include <QApplication>
#include <QHelpEvent>
#include <QScreen>

#include "rework/widgets/TooltipWindow.h"

namespace {

constexpr quint32 kSystemColorFlag = 0x80000000;

// The palette role of a system colour number (the window colour indexes of the platform the colours
// come from); the ones without a counterpart take the window text.
QPalette::ColorRole SystemColorRole(quint32 index) {
    switch (index) {
        case 5:
            return QPalette::Base;
        case 13:
            return QPalette::Highlight;
        case 14:
            return QPalette::HighlightedText;
        case 15:
            return QPalette::Button;
        case 18:
            return QPalette::ButtonText;
        case 23:
            return QPalette::ToolTipText;
        case 24:
            return QPalette::ToolTipBase;
        case 1:
        case 4:
            return QPalette::Window;
        default:
            return QPalette::WindowText;
    }
}

QColor ColorOf(quint32 color) {
    if (color & kSystemColorFlag) {
        return QApplication::palette().color(SystemColorRole(color & ~kSystemColorFlag));
    }
    return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>((color >> 16) & 0xff));
}

// Line breaks of either form become new lines; without MultiLine the text stands on one line.
QString ShownText(const QString& text, bool multiLine) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!multiLine) {
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return shown;
}

}  // namespace

CTooltip::CTooltip() = default;

CTooltip::~CTooltip() {
    Destroy();
}

QWidget* CTooltip::TipWindow() const {
    return window_.get();
}

void CTooltip::Destroy() {
    if (window_ != nullptr) {
        qApp->removeEventFilter(this);
        window_.reset();
    }
    owner_ = nullptr;
}

void CTooltip::Create() {
    Destroy();
    if (parent_ == nullptr) {
        return;
    }
    owner_ = parent_;
    window_ = std::make_unique<TooltipWindow>(title_, ShownText(text_, multiLine_), style_ == 1);
    QPalette palette = window_->palette();
    if (foreColor_ != SystemToolTipForeColor) {
        palette.setColor(QPalette::ToolTipText, ColorOf(foreColor_));
        palette.setColor(QPalette::WindowText, ColorOf(foreColor_));
    }
    if (backColor_ != SystemToolTipBackColor) {
        palette.setColor(QPalette::ToolTipBase, ColorOf(backColor_));
    }
    window_->setPalette(palette);
    // The tip watches the pointer over its window itself, also over the window's children.
    qApp->installEventFilter(this);
}

bool CTooltip::IsOverParent(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return owner_ != nullptr && widget != nullptr && (widget == owner_ || owner_->isAncestorOf(widget));
}

void CTooltip::ShowAt(const QPoint& globalPos) {
    window_->adjustSize();
    QPoint pos = centered_ ? owner_->mapToGlobal(QPoint((owner_->width() - window_->width()) / 2, owner_->height()))
                           : globalPos + QPoint(2, 16);
    if (const QScreen* screen = owner_->screen()) {
        const QRect area = screen->availableGeometry();
        pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - window_->width())));
        pos.setY(qBound(area.top(), pos.y(), qMax(area.top(), area.bottom() - window_->height())));
    }
    window_->move(pos);
    window_->show();
    window_->raise();
}

bool CTooltip::eventFilter(QObject* watched, QEvent* event) {
    if (window_ == nullptr) {
        return false;
    }
    if (owner_ == nullptr) {
        window_->hide();  // the window the tip belonged to is gone
        return false;
    }
    switch (event->type()) {
        case QEvent::ToolTip:
            if (IsOverParent(watched)) {
                ShowAt(static_cast<QHelpEvent*>(event)->globalPos());
                return true;
            }
            break;
        case QEvent::Leave:
            if (watched == owner_.data()) {
                window_->hide();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::WindowDeactivate:
            window_->hide();
            break;
        default:
            break;
    }
    return false;
}
