#include "rework/widgets/TooltipWindow.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QVBoxLayout>

namespace {

constexpr int kBalloonRadius = 10;

QPainterPath Outline(const QRect& rect, bool balloon) {
    QPainterPath path;
    if (balloon) {
        path.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), kBalloonRadius, kBalloonRadius);
    } else {
        path.addRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return path;
}

}  // namespace

TooltipWindow::TooltipWindow(const QString& title, const QString& text, bool balloon)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      balloon_(balloon) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    const int margin = balloon ? kBalloonRadius / 2 + 4 : 4;
    layout->setContentsMargins(margin, margin - 1, margin, margin - 1);
    layout->setSpacing(2);

    title_ = new QLabel(title, this);
    title_->setObjectName(QStringLiteral("Title"));
    title_->setTextFormat(Qt::PlainText);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setVisible(!title.isEmpty());
    // Plain text: an ampersand is shown as it is; only the line breaks of the text break lines.
    text_ = new QLabel(text, this);
    text_->setObjectName(QStringLiteral("Text"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(false);
    layout->addWidget(title_);
    layout->addWidget(text_);
    adjustSize();
}

QString TooltipWindow::TitleLine() const {
    return title_->isVisibleTo(this) ? title_->text() : QString();
}

QStringList TooltipWindow::Lines() const {
    return text_->text().split(QLatin1Char('\n'));
}

void TooltipWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, balloon_);
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawPath(Outline(rect(), balloon_));
}

void TooltipWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (balloon_) {
        setMask(QRegion(Outline(rect(), true).toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
}
