#pragma once
// A private virtual X display for one test, with the tools that act on it as
// a user would (xdotool) and look at it as a user would (ImageMagick import).
//
// The server picks a free display number itself and reports it once it is
// ready (-displayfd), so tests running side by side never race for one.
//
// A display may be divided into several monitors side by side: one Xvfb
// screen with a RandR 1.5 monitor for each part (xrandr --setmonitor), which
// is how Qt's xcb platform learns of monitors. (Xvfb's own +xinerama with
// two -screen options gives Qt a single screen.)

#include <QImage>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QStringList>

namespace wm::e2e {

class XDisplay {
  public:
    explicit XDisplay(QSize size);
    // A screen of `size` shown as the given monitors, the first of them the
    // primary one. Each rectangle must lie within the screen.
    XDisplay(QSize size, const QList<QRect>& monitors);
    // Stops the server (see stop()).
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Empty once the server runs; otherwise why it does not.
    const QString& error() const { return error_; }
    // ":N", the value of DISPLAY for programs on this display.
    const QString& name() const { return name_; }
    QSize size() const { return size_; }
    // The monitors, as the display's clients see them.
    const QList<QRect>& monitors() const { return monitors_; }

    // Ends the server, as when the X server of a session goes away: every
    // client loses its connection.
    void stop();

    // The whole screen as a 32-bit image; null when it could not be taken.
    QImage screenshot() const;
    // Gives the desktop's background (the root window) a solid colour, so
    // that a screenshot tells it apart from the black a program draws. On
    // failure *error says why.
    bool paint_root(QRgb colour, QString* error) const;
    // Runs xdotool with the arguments; true when it succeeded. Its output
    // goes to *out when given.
    bool xdotool(const QStringList& args, QString* out = nullptr) const;
    // The visible top-level windows whose title is exactly `title`.
    QStringList windows_titled(const QString& title) const;
    // Position and size of a window; an empty rectangle when unknown.
    QRect window_geometry(const QString& window_id) const;

  private:
    void start_server();
    // Divides the screen into monitors_; false (with error_ set) on failure.
    bool set_monitors();
    // Runs a tool on this display; its exit status, or -1 when it did not
    // run to its end within the time allowed.
    int run_tool(const QString& program, const QStringList& args, QByteArray* out) const;

    QSize size_;
    QList<QRect> monitors_;
    QProcess server_;
    QString name_;
    QString error_;
};

}  // namespace wm::e2e
