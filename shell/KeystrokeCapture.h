#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QObject;

// Watches the characters typed into the tree of pane 0 and picks out a scanned production code:
// a capital "P" starts a capture (and is hidden from the tree's own type-ahead search), digits are
// collected and passed on, and a carriage return delivers "P" + eight digits to the scan workflow
// after a short beep. Anything else ends the capture silently.
class KeystrokeCapture : public QObject {
    Q_OBJECT
public:
    using ScanHandler = std::function<void(const QString& code)>;

    explicit KeystrokeCapture(ScanHandler handler, QObject* parent = nullptr);

    // Starts watching the tree control; false when a capture is installed already.
    bool Install(QObject* tree);
    // Stops watching; the tree gets every key as before.
    void Remove();
    bool IsInstalled() const { return tree_ != nullptr; }

    bool CaptureActive() const { return captureActive_; }
    const QString& CaptureBuffer() const { return captureBuffer_; }

    // Handles one typed character; true when it is consumed (the tree never sees it).
    bool HandleCharacter(QChar character);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Clear();

    ScanHandler handler_;
    QObject* tree_ = nullptr;
    bool captureActive_ = false;
    QString captureBuffer_;
};
