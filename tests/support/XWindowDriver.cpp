#include "tests/support/XWindowDriver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

namespace {

const QString kXdotool = QStringLiteral("xdotool");

}  // namespace

XWindowDriver::XWindowDriver(const QString& display) : display_(display) {}

QString XWindowDriver::Tool(const QString& tool, const QStringList& arguments, int timeoutMs) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString XWindowDriver::WaitForWindow(const QString& namePattern) const {
    return Tool(kXdotool, {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                           QStringLiteral("--name"), namePattern})
        .split(QLatin1Char('\n'))
        .value(0);
}

bool XWindowDriver::WindowExists(const QString& namePattern) const {
    return !Tool(kXdotool,
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern})
                .isEmpty();
}

QString XWindowDriver::FocusedWindowName() const {
    return Tool(kXdotool, {QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")});
}

bool XWindowDriver::WaitForFocus(const QString& name, int timeoutMs) const {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (FocusedWindowName() == name) {
            // The window may still be busy with what the last key started: let it settle.
            QThread::msleep(400);
            if (FocusedWindowName() == name) {
                return true;
            }
        }
        QThread::msleep(100);
    }
    return false;
}

void XWindowDriver::Scan(const QString& text) const {
    if (!text.isEmpty()) {
        Tool(kXdotool, {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
    }
    Key(QStringLiteral("Return"));
}

void XWindowDriver::Key(const QString& key) const {
    Tool(kXdotool, {QStringLiteral("key"), key});
}

void XWindowDriver::Click(const QString& window, int x, int y) const {
    Tool(kXdotool,
         {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x), QString::number(y)});
    Tool(kXdotool, {QStringLiteral("click"), QStringLiteral("1")});
}

void XWindowDriver::Drag(const QString& window, int fromX, int fromY, int toX, int toY) const {
    DragAlong(window, {QPoint(fromX, fromY), QPoint(toX, toY)});
}

void XWindowDriver::DragAlong(const QString& window, const QList<QPoint>& path) const {
    if (path.isEmpty()) {
        return;
    }
    const auto moveTo = [&](const QPoint& point) {
        Tool(kXdotool, {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(point.x()),
                        QString::number(point.y())});
        QThread::msleep(60);
    };
    moveTo(path.first());
    Tool(kXdotool, {QStringLiteral("mousedown"), QStringLiteral("1")});
    constexpr int kSteps = 12;
    for (qsizetype leg = 1; leg < path.size(); ++leg) {
        const QPoint from = path[leg - 1];
        const QPoint to = path[leg];
        for (int step = 1; step <= kSteps; ++step) {
            moveTo(from + (to - from) * step / kSteps);
        }
    }
    QThread::msleep(200);
    Tool(kXdotool, {QStringLiteral("mouseup"), QStringLiteral("1")});
}

int XWindowDriver::WindowWidth(const QString& window) const {
    const QStringList lines = Tool(kXdotool, {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
                                  .split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("WIDTH="))) {
            return line.mid(6).toInt();
        }
    }
    return 0;
}

QRect XWindowDriver::WindowGeometry(const QString& window) const {
    QRect geometry;
    const QStringList lines = Tool(kXdotool, {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
                                  .split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString name = line.section(QLatin1Char('='), 0, 0);
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (name == QStringLiteral("X")) {
            geometry.moveLeft(value);
        } else if (name == QStringLiteral("Y")) {
            geometry.moveTop(value);
        } else if (name == QStringLiteral("WIDTH")) {
            geometry.setWidth(value);
        } else if (name == QStringLiteral("HEIGHT")) {
            geometry.setHeight(value);
        }
    }
    return geometry;
}

void XWindowDriver::SetWindowGeometry(const QString& window, const QRect& geometry) const {
    Tool(kXdotool,
         {QStringLiteral("windowmove"), window, QString::number(geometry.x()), QString::number(geometry.y())});
    Tool(kXdotool,
         {QStringLiteral("windowsize"), window, QString::number(geometry.width()), QString::number(geometry.height())});
}

QSize XWindowDriver::ScreenSize() const {
    const QStringList size = Tool(kXdotool, {QStringLiteral("getdisplaygeometry")}).split(QLatin1Char(' '));
    return QSize(size.value(0).toInt(), size.value(1).toInt());
}

QImage XWindowDriver::Screenshot(const QString& window) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("import"), {QStringLiteral("-window"), window, QStringLiteral("png:-")});
    process.waitForFinished(20000);
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}

RealProgram::RealProgram()
    : display_(qEnvironmentVariable("VELKOR_TEST_DISPLAY")), program_(QStringLiteral(VELKOR_BINARY_DIR "/velkor")) {}

RealProgram::~RealProgram() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool RealProgram::Start(const QProcessEnvironment& extra) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("VELKOR_UPDATE_HOST"), QString());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), userConfig_.path());
    env.insert(extra);
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program_, {});
    return process_.waitForStarted(10000);
}

QString RealProgram::StartAndWaitForMainWindow(const QProcessEnvironment& extra) {
    if (!Start(extra)) {
        return QString();
    }
    const XWindowDriver x(display_);
    const QString window = x.WaitForWindow(QStringLiteral("^Velkor Tool 2\\.3\\.9$"));
    if (window.isEmpty() || !x.WaitForFocus(QStringLiteral("Velkor Tool 2.3.9"))) {
        return QString();
    }
    return window;
}

bool RealProgram::CloseAndWaitForCleanEnd(const QString& window) {
    const XWindowDriver x(display_);
    x.Tool(QStringLiteral("/usr/bin/python3"),
           {QStringLiteral(VELKOR_SOURCE_DIR "/tests/shell/close_window.py"), window});
    // The window handles the request once its event loop runs again; the process then ends at once.
    return process_.waitForFinished(30000) && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

int RealProgram::WaitForExit(int timeoutMs) {
    if (!process_.waitForFinished(timeoutMs) || process_.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process_.exitCode();
}
