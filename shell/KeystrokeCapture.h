#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QObject;

// Watches the characters typed into the tree of pane 0 and picks out what the scanner sends, one line ended
// by a carriage return:
// - a production code: a capital "P" starts a capture (and is hidden from the tree's own type-ahead search),
//   digits are collected and passed on, and a carriage return delivers "P" + eight digits to the scan
//   workflow after a short beep;
// - any other line (an own or external serial number, or a value of no known format) goes whole to the line
//   handler; its characters are hidden from the tree, so that its type-ahead search never moves the selection
//   away from the node the value is meant for.
// Keys without a character (Shift before a capital letter, arrows) pass untouched; a control character ends
// the line silently. An empty line (Enter alone) is the tree's own.
class KeystrokeCapture : public QObject {
    Q_OBJECT
public:
    using ScanHandler = std::function<void(const QString& code)>;

    explicit KeystrokeCapture(ScanHandler handler, QObject* parent = nullptr);
    KeystrokeCapture(ScanHandler handler, ScanHandler lineHandler, QObject* parent = nullptr);

    // Starts watching the tree control; false when a capture is installed already.
    bool Install(QObject* tree);
    // Stops watching; the tree gets every key as before.
    void Remove();
    bool IsInstalled() const { return tree_ != nullptr; }

    bool CaptureActive() const { return captureActive_; }
    const QString& CaptureBuffer() const { return captureBuffer_; }
    // What was typed since the last carriage return.
    const QString& Line() const { return line_; }

    // Handles one typed character; true when it is consumed (the tree never sees it).
    bool HandleCharacter(QChar character);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Clear();
    // The carriage return: delivers the production code or the line.
    bool EndLine();

    ScanHandler handler_;
    ScanHandler lineHandler_;
    QObject* tree_ = nullptr;
    bool captureActive_ = false;
    QString captureBuffer_;
    QString line_;
};
