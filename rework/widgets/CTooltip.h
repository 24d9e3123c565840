#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;
class TooltipWindow;

// One multi-line tooltip over the whole area of one window, optionally with a bold title and in balloon
// form. The properties only store values; Create builds the tip from them, replacing the previous one. The
// tip shows itself when the pointer rests anywhere over the window and hides when it leaves, on a click or
// a key. Releasing the object removes the tip.
class CTooltip : public QObject {
    Q_OBJECT
public:
    // Colours in the 32-bit window colour form: 0x80000000 + n names system colour n, anything else is a
    // red-green-blue value 0x00BBGGRR.
    static constexpr quint32 SystemToolTipForeColor = 0x80000017;
    static constexpr quint32 SystemToolTipBackColor = 0x80000018;

    CTooltip();
    ~CTooltip() override;

    QWidget* HwndParentControl() const { return parent_; }
    void SetHwndParentControl(QWidget* window) { parent_ = window; }
    qint32 Style() const { return style_; }  // 0 standard rectangle, 1 balloon
    void SetStyle(qint32 style) { style_ = style; }
    bool Centered() const { return centered_; }  // centred below the window instead of at the pointer
    void SetCentered(bool centered) { centered_ = centered; }
    quint32 ForeColor() const { return foreColor_; }
    void SetForeColor(quint32 color) { foreColor_ = color; }
    quint32 BackColor() const { return backColor_; }
    void SetBackColor(quint32 color) { backColor_ = color; }
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    QString Text() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    bool MultiLine() const { return multiLine_; }  // line breaks in the text start new lines
    void SetMultiLine(bool multiLine) { multiLine_ = multiLine; }

    // (Re)builds the tip from the properties; without a parent window the object shows nothing.
    void Create();

    // The tip window, null when none is built; shown while the tip is up.
    QWidget* TipWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Destroy();
    bool IsOverParent(QObject* object) const;
    void ShowAt(const QPoint& globalPos);

    QPointer<QWidget> parent_;
    qint32 style_ = 0;
    bool centered_ = false;
    quint32 foreColor_ = SystemToolTipForeColor;
    quint32 backColor_ = SystemToolTipBackColor;
    QString title_;
    QString text_;
    bool multiLine_ = true;

    std::unique_ptr<TooltipWindow> window_;
    QPointer<QWidget> owner_;  // the window the built tip belongs to
};
