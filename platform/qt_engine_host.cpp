#include "platform/qt_engine_host.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

namespace wm {
namespace {

// One non-blocking pass (or, with `wait`, one that sleeps until something
// arrives). True when some event ran.
bool run_events(QAbstractEventDispatcher& dispatcher, bool wait) {
    QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
    if (wait) {
        flags |= QEventLoop::WaitForMoreEvents;
    }
    const bool ran = dispatcher.processEvents(flags);
    // A deferred delete posted at this loop level is never delivered by a
    // plain pass: it would wait for an event loop to return, and the engine's
    // loop may run for the whole session.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ran;
}

}  // namespace

std::uint32_t QtEngineHost::tick_count() {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
    return static_cast<std::uint32_t>(ms);
}

void QtEngineHost::yield_once() {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        run_events(*dispatcher, false);
    }
}

void QtEngineHost::yield_until(std::uint32_t tick) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher != nullptr && run_events(*dispatcher, false)) {
        return;
    }
    // The clock is read in whole milliseconds, truncated; waiting the full
    // difference therefore always reaches `tick`.
    const auto remaining = static_cast<std::int32_t>(tick - tick_count());
    if (remaining <= 0) {
        return;
    }
    if (dispatcher == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(remaining));
        return;
    }
    QTimer alarm;
    alarm.setSingleShot(true);
    alarm.setTimerType(Qt::PreciseTimer);
    alarm.start(std::chrono::milliseconds(remaining));
    run_events(*dispatcher, true);
}

}  // namespace wm
