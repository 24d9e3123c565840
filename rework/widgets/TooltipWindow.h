#pragma once

#include <QWidget>

class QLabel;

// The window of a CTooltip: an optional bold title line above the text, as a rectangle or a balloon with
// rounded corners, drawn in the given colours.
class TooltipWindow : public QWidget {
    Q_OBJECT
public:
    TooltipWindow(const QString& title, const QString& text, bool balloon);

    QString TitleLine() const;  // empty when the tip has no title
    QStringList Lines() const;  // the text lines as shown

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
    bool balloon_ = false;
};
