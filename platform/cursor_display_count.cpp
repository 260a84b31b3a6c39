#include "platform/cursor_display_count.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include <limits>

namespace wm {

CursorDisplayCount::~CursorDisplayCount() {
    set_blank(false);
}

int CursorDisplayCount::change(bool show) {
    // Held at the ends of int's range rather than wrapping round.
    if (show && count_ < std::numeric_limits<int>::max()) {
        ++count_;
    } else if (!show && count_ > std::numeric_limits<int>::min()) {
        --count_;
    }
    set_blank(count_ < 0);
    return count_;
}

void CursorDisplayCount::set_blank(bool blank) {
    if (blank == blanking_) {
        return;
    }
    // Override cursors belong to a graphical application; without one there
    // is no pointer to hide and nothing is pushed.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        blanking_ = false;
        return;
    }
    if (blank) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    blanking_ = blank;
}

}  // namespace wm
