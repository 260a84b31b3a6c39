#include "tests/e2e/e2e_support.h"

#include <QElapsedTimer>
#include <QThread>

namespace wm::e2e {

std::string text(const QString& s) {
    return s.toStdString();
}

std::string text(const QRect& r) {
    return QStringLiteral("%1x%2 at (%3, %4)")
        .arg(r.width())
        .arg(r.height())
        .arg(r.left())
        .arg(r.top())
        .toStdString();
}

bool poll_until(int ms, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

}  // namespace wm::e2e
