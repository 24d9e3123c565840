#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Works the real program on the private X server of the tests as a person does: keys typed into whatever
// window has the keyboard, mouse clicks, and what the screen shows. Only the X tools are used
// (xdotool, import), never the program's own insides.
class XWindowDriver {
public:
    explicit XWindowDriver(const QString& display);

    // Runs a tool against the display; its standard output, trimmed.
    QString Tool(const QString& tool, const QStringList& arguments, int timeoutMs = 20000) const;

    // The id of the first visible window whose name matches the pattern (waits for it); empty when none.
    QString WaitForWindow(const QString& namePattern) const;
    bool WindowExists(const QString& namePattern) const;
    // The name of the window that has the keyboard.
    QString FocusedWindowName() const;
    // Waits until the window named name has the keyboard; false when it did not get it in time.
    bool WaitForFocus(const QString& name, int timeoutMs = 15000) const;

    // Types the text into the window that has the keyboard and ends it with Enter, as a scanner does.
    void Scan(const QString& text) const;
    void Key(const QString& key) const;

    // A left click at a point of the window.
    void Click(const QString& window, int x, int y) const;
    // Drags with the left button held from one point of the window to another, in small steps as a hand
    // moves the mouse.
    void Drag(const QString& window, int fromX, int fromY, int toX, int toY) const;
    // Presses the left button at the first point and drags through the others in small steps, e.g. a hand
    // that slips a few pixels before it moves on to where it drops.
    void DragAlong(const QString& window, const QList<QPoint>& path) const;
    // The width of the window in pixels.
    int WindowWidth(const QString& window) const;
    // Position and size of the window on the screen.
    QRect WindowGeometry(const QString& window) const;
    // Resizes and moves the window as a window manager does when the person drags its frame (the test X
    // server has no window manager: the program sees the same configure requests).
    void SetWindowGeometry(const QString& window, const QRect& geometry) const;
    // The size of the screen.
    QSize ScreenSize() const;

    QImage Screenshot(const QString& window) const;

private:
    QString display_;
};

// The program build/velkor started on the test display against the test database; ended with the test.
class RealProgram {
public:
    RealProgram();
    ~RealProgram();
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    // The test display, empty when the tests run without one (then the test is to stop).
    const QString& Display() const { return display_; }
    // Starts the program; values of extra replace those of the test's environment. False when it did not start.
    bool Start(const QProcessEnvironment& extra = QProcessEnvironment());
    // Starts the program and waits for its main window to show and take the keyboard; the window's id,
    // empty when it did not appear.
    QString StartAndWaitForMainWindow(const QProcessEnvironment& extra = QProcessEnvironment());
    // The program file started (build/velkor unless changed).
    void SetProgram(const QString& path) { program_ = path; }
    // Asks the window to close, as a window manager does for its close button, and waits for the process
    // to end. True when it ended by itself, normally, with exit code 0.
    bool CloseAndWaitForCleanEnd(const QString& window);
    bool IsRunning() const { return process_.state() != QProcess::NotRunning; }
    // Waits for the process to end by itself; its exit code, -1 when it did not end normally in time.
    int WaitForExit(int timeoutMs = 30000);

private:
    QString display_;
    QString program_;
    QProcess process_;
    // The user's settings folder of this program object: what the window saves (size, position) is kept for
    // its next start, and no other test sees it.
    QTemporaryDir userConfig_;
};
