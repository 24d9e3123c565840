// The main window's layouts (one pane, two panes), its size and position between starts, and its text size.

#include <QLineEdit>
#include <QSettings>

#include "app/FormMain.h"
#include "shell/Settings.h"
#include "tree/widgets/TreeControlView.h"

namespace {

// Per user, in the user's own settings of the program (not velkor.ini beside it, which every user shares).
QSettings UserSettings() {
    return QSettings(QStringLiteral("BRENVIK"), QStringLiteral("Velkor"));
}

const char* const kGeometryKey = "Window/Geometry";
const char* const kOnePaneWidthKey = "Window/OnePaneWidth";

bool Enlarged(const QWidget& window) {
    return (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

}  // namespace

void FormMain::SetFormView(qint16 view) {
    const bool twoPanes = view == 2;
    frame33_->setVisible(twoPanes);
    treeViews_[1]->setVisible(twoPanes);
    // The second pane takes its share of the width the window has. A window narrower than the two-pane width
    // grows to it, and goes back to its former width when the second pane closes, unless it was resized
    // in between. A maximised window keeps its size.
    if (twoPanes != twoPanes_ && !Enlarged(*this)) {
        if (twoPanes) {
            onePaneWidth_ = width();
            resize(std::max(width(), kTwoPaneWidthTwips / kTwipsPerPixel), height());
            widenedTo_ = width();
        } else if (width() == widenedTo_) {
            resize(onePaneWidth_, height());
        }
    }
    twoPanes_ = twoPanes;
}

qint32 FormMain::GetFormView() const {
    return width() * kTwipsPerPixel;
}

void FormMain::ApplyTextSize(int points) {
    if (points <= 0) {
        return;
    }
    QList<QWidget*> widgets{treeViews_[0], treeViews_[1]};
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        widgets.append(field);
    }
    for (QWidget* widget : widgets) {
        QFont font = widget->font();
        font.setPointSize(points);
        widget->setFont(font);
    }
}

void FormMain::RestorePlacement() {
    const QSettings settings = UserSettings();
    const QByteArray geometry = settings.value(QLatin1String(kGeometryKey)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        return;
    }
    // The window opens in the one-pane layout, at the width it last had there.
    const int onePaneWidth = settings.value(QLatin1String(kOnePaneWidthKey)).toInt();
    if (onePaneWidth > 0 && !Enlarged(*this)) {
        resize(onePaneWidth, height());
    }
}

void FormMain::SavePlacement() const {
    QSettings settings = UserSettings();
    settings.setValue(QLatin1String(kGeometryKey), saveGeometry());
    settings.setValue(QLatin1String(kOnePaneWidthKey), twoPanes_ && width() == widenedTo_ ? onePaneWidth_ : width());
    settings.sync();
}
