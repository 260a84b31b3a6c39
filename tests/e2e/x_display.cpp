#include "tests/e2e/x_display.h"

#include <QRegularExpression>

namespace wm::e2e {
namespace {

constexpr int kServerStartMs = 10000;
constexpr int kToolMs = 10000;

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

XDisplay::XDisplay(QSize size) : size_(size) {
    const QString screen = QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height());
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
