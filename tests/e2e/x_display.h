#pragma once
// A private virtual X display for one test, with the tools that act on it as
// a user would (xdotool) and look at it as a user would (ImageMagick import).
//
// The server picks a free display number itself and reports it once it is
// ready (-displayfd), so tests running side by side never race for one.

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace wm::e2e {

class XDisplay {
  public:
    explicit XDisplay(QSize size);
    // Stops the server (see stop()).
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Empty once the server runs; otherwise why it does not.
    const QString& error() const { return error_; }
    // ":N", the value of DISPLAY for programs on this display.
    const QString& name() const { return name_; }
    QSize size() const { return size_; }

    // Ends the server, as when the X server of a session goes away: every
    // client loses its connection.
    void stop();

    // The whole screen as a 32-bit image; null when it could not be taken.
    QImage screenshot() const;
    // Runs xdotool with the arguments; true when it succeeded. Its output
    // goes to *out when given.
    bool xdotool(const QStringList& args, QString* out = nullptr) const;
    // The visible top-level windows whose title is exactly `title`.
    QStringList windows_titled(const QString& title) const;
    // Position and size of a window; an empty rectangle when unknown.
    QRect window_geometry(const QString& window_id) const;

  private:
    // Runs a tool on this display; its exit status, or -1 when it did not
    // run to its end within the time allowed.
    int run_tool(const QString& program, const QStringList& args, QByteArray* out) const;

    QSize size_;
    QProcess server_;
    QString name_;
    QString error_;
};

}  // namespace wm::e2e
