#include "tests/e2e/x_display.h"

#include "platform/xcb_handles.h"
#include "tests/e2e/e2e_support.h"

#include <QRegularExpression>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace wm::e2e {
namespace {

constexpr int kServerStartMs = 10000;
constexpr int kToolMs = 10000;
// Monitors are given a physical size as at 96 pixels per inch.
constexpr double kMillimetresPerPixel = 25.4 / 96;

// xdotool matches titles as POSIX extended expressions: the exact text.
QString exactly(const QString& text) {
    static const QString kSpecial = QStringLiteral(".[]{}()\\*+?^$|");
    QString pattern = QStringLiteral("^");
    for (const QChar c : text) {
        if (kSpecial.contains(c)) {
            pattern += QLatin1Char('\\');
        }
        pattern += c;
    }
    return pattern + QLatin1Char('$');
}

}  // namespace

XDisplay::XDisplay(QSize size) : size_(size), monitors_{QRect(QPoint(0, 0), size)} {
    start_server();
}

XDisplay::XDisplay(QSize size, const QList<QRect>& monitors) : size_(size), monitors_(monitors) {
    start_server();
    if (error_.isEmpty()) {
        set_monitors();
    }
}

void XDisplay::start_server() {
    const QString screen = QStringLiteral("%1x%2x24").arg(size_.width()).arg(size_.height());
    server_.setProgram(QStringLiteral(WM_XVFB));
    server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                          QStringLiteral("-screen"), QStringLiteral("0"), screen,
                          QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                          // Stay up between clients: a reset refuses connections.
                          QStringLiteral("-noreset")});
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.start();
    if (!server_.waitForStarted(kServerStartMs)) {
        error_ = QStringLiteral("Xvfb did not start: ") + server_.errorString();
        return;
    }
    // The server writes its display number and a newline once it accepts clients.
    QByteArray number;
    while (!number.contains('\n')) {
        if (!server_.waitForReadyRead(kServerStartMs)) {
            error_ = QStringLiteral("Xvfb never reported its display: ") +
                     QString::fromLocal8Bit(server_.readAllStandardError());
            return;
        }
        number += server_.readAllStandardOutput();
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

bool XDisplay::set_monitors() {
    const QRect screen(QPoint(0, 0), size_);
    if (monitors_.isEmpty()) {
        error_ = QStringLiteral("a display needs at least one monitor");
        return false;
    }
    for (qsizetype i = 0; i < monitors_.size(); ++i) {
        const QRect& monitor = monitors_[i];
        if (monitor.isEmpty() || !screen.contains(monitor)) {
            error_ = QStringLiteral("monitor %1 does not lie within the screen")
                         .arg(QString::fromStdString(text(monitor)));
            return false;
        }
        // "w/mmw x h/mmh + x + y". The first monitor takes over Xvfb's one
        // output ("screen"), whose own monitor would otherwise span the whole
        // screen beside the others; a leading "*" makes it the primary one.
        const QString geometry = QStringLiteral("%1/%2x%3/%4+%5+%6")
                                     .arg(monitor.width())
                                     .arg(static_cast<int>(monitor.width() * kMillimetresPerPixel))
                                     .arg(monitor.height())
                                     .arg(static_cast<int>(monitor.height() * kMillimetresPerPixel))
                                     .arg(monitor.x())
                                     .arg(monitor.y());
        const QString name =
            (i == 0 ? QStringLiteral("*wm-%1") : QStringLiteral("wm-%1")).arg(i + 1);
        const QStringList args = {QStringLiteral("--setmonitor"), name, geometry,
                                  i == 0 ? QStringLiteral("screen") : QStringLiteral("none")};
        if (run_tool(QStringLiteral(WM_XRANDR), args, nullptr) != 0) {
            error_ = QStringLiteral("xrandr %1 failed").arg(args.join(QLatin1Char(' ')));
            return false;
        }
    }
    // What the clients will be told: exactly these monitors.
    QByteArray listing;
    if (run_tool(QStringLiteral(WM_XRANDR), {QStringLiteral("--listmonitors")}, &listing) != 0) {
        error_ = QStringLiteral("xrandr --listmonitors failed");
        return false;
    }
    // Lines " 0: *wm-1 1280/338x1024/270+0+0  screen".
    const QRegularExpression line(
        QStringLiteral("^\\s*\\d+: \\S+ (\\d+)/\\d+x(\\d+)/\\d+\\+(\\d+)\\+(\\d+)"),
        QRegularExpression::MultilineOption);
    QList<QRect> listed;
    for (const QRegularExpressionMatch& m : line.globalMatch(QString::fromLocal8Bit(listing))) {
        listed << QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                        m.captured(2).toInt());
    }
    QList<QRect> wanted = monitors_;
    auto by_place = [](const QRect& a, const QRect& b) {
        return std::make_pair(a.y(), a.x()) < std::make_pair(b.y(), b.x());
    };
    std::sort(listed.begin(), listed.end(), by_place);
    std::sort(wanted.begin(), wanted.end(), by_place);
    if (listed != wanted) {
        error_ = QStringLiteral("the display's monitors are not the ones asked for: ") +
                 QString::fromLocal8Bit(listing).trimmed();
        return false;
    }
    return true;
}

XDisplay::~XDisplay() {
    stop();
}

void XDisplay::stop() {
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(kServerStartMs)) {
            server_.kill();
            server_.waitForFinished(kServerStartMs);
        }
    }
}

int XDisplay::run_tool(const QString& program, const QStringList& args, QByteArray* out) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(program, args);
    if (!tool.waitForFinished(kToolMs) || tool.exitStatus() != QProcess::NormalExit) {
        tool.kill();
        tool.waitForFinished(kToolMs);
        return -1;
    }
    if (out != nullptr) {
        *out = tool.readAllStandardOutput();
    }
    return tool.exitCode();
}

QImage XDisplay::screenshot() const {
    QByteArray png;
    if (run_tool(QStringLiteral(WM_IMPORT),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")},
                 &png) != 0) {
        return QImage();
    }
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

bool XDisplay::paint_root(QRgb colour, QString* error) const {
    int screen_number = 0;
    const XcbConnection c(xcb_connect(name_.toLocal8Bit().constData(), &screen_number));
    if (xcb_connection_has_error(c.get()) != 0) {
        *error = QStringLiteral("no connection to the display ") + name_;
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c.get()));
    for (int i = 0; i < screen_number && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        *error = QStringLiteral("the display has no screen %1").arg(screen_number);
        return false;
    }
    const xcb_screen_t* screen = screens.data;
    // On the 24-bit true-colour screens of these displays a pixel value is
    // the colour's red, green and blue bytes.
    if (screen->root_depth != 24) {
        *error = QStringLiteral("the root window is %1 bits deep, not 24").arg(screen->root_depth);
        return false;
    }
    const std::uint32_t pixel = colour & 0xffffffu;
    const xcb_void_cookie_t background =
        xcb_change_window_attributes_checked(c.get(), screen->root, XCB_CW_BACK_PIXEL, &pixel);
    const xcb_void_cookie_t clear = xcb_clear_area_checked(c.get(), 0, screen->root, 0, 0, 0, 0);
    for (const xcb_void_cookie_t cookie : {background, clear}) {
        const XcbReply<xcb_generic_error_t> failed(xcb_request_check(c.get(), cookie));
        if (failed) {
            *error = QStringLiteral("painting the root window failed (X error %1)")
                         .arg(failed->error_code);
            return false;
        }
    }
    return true;
}

bool XDisplay::xdotool(const QStringList& args, QString* out) const {
    QByteArray bytes;
    const bool ok = run_tool(QStringLiteral(WM_XDOTOOL), args, &bytes) == 0;
    if (out != nullptr) {
        *out = QString::fromLocal8Bit(bytes);
    }
    return ok;
}

QStringList XDisplay::windows_titled(const QString& title) const {
    QString ids;
    if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), exactly(title)},
                 &ids)) {
        return {};
    }
    return ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QRect XDisplay::window_geometry(const QString& window_id) const {
    QString shell;
    if (!xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window_id},
                 &shell)) {
        return {};
    }
    // Lines "X=0", "Y=0", "WIDTH=1280", "HEIGHT=720".
    auto field = [&shell](const char* key) {
        const QRegularExpression line(QStringLiteral("^%1=(-?\\d+)$").arg(QLatin1String(key)),
                                      QRegularExpression::MultilineOption);
        return line.match(shell).captured(1).toInt();
    };
    return QRect(field("X"), field("Y"), field("WIDTH"), field("HEIGHT"));
}

}  // namespace wm::e2e
