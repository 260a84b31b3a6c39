#include "platform/exit_cleanup.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cstdlib>

namespace wm {
namespace {

std::atomic<ExitCleanup*> g_active{nullptr};
std::atomic<ExitCleanup::LastResort> g_last_resort{nullptr};
// How far the active object's cleanup has come.
enum class Stage { kWaiting, kCleaning, kDone };
std::atomic<Stage> g_stage{Stage::kWaiting};
QtMessageHandler g_previous_handler = nullptr;

bool on_user_interface_thread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void at_exit() {
    // Also when the exit came from inside the cleanup (it ran events, and
    // the event loop found the display gone): the cleanup did not finish.
    const ExitCleanup::LastResort last_resort = g_last_resort.load();
    if (g_active.load() != nullptr && last_resort != nullptr &&
        g_stage.exchange(Stage::kDone) != Stage::kDone) {
        last_resort();
    }
}

}  // namespace

void ExitCleanup::on_message(QtMsgType type, const QMessageLogContext& context,
                             const QString& text) {
    g_previous_handler(type, context, text);
    ExitCleanup* guard = g_active.load();
    if (guard != nullptr && g_stage.load() == Stage::kWaiting && on_user_interface_thread() &&
        guard->ending_ != nullptr && guard->ending_()) {
        guard->run_cleanup();
    }
}

ExitCleanup::ExitCleanup(std::function<void()> cleanup, LastResort last_resort, Probe ending)
    : cleanup_(std::move(cleanup)), ending_(ending) {
    static const bool at_exit_registered = std::atexit(at_exit) == 0;
    ExitCleanup* none = nullptr;
    if (!at_exit_registered || !g_active.compare_exchange_strong(none, this)) {
        return;
    }
    g_stage.store(Stage::kWaiting);
    g_last_resort.store(last_resort);
    g_previous_handler = qInstallMessageHandler(on_message);
    active_ = true;
}

ExitCleanup::~ExitCleanup() {
    if (!active_) {
        return;
    }
    qInstallMessageHandler(g_previous_handler);
    g_last_resort.store(nullptr);
    g_active.store(nullptr);
}

bool ExitCleanup::done() const {
    return active_ && g_stage.load() == Stage::kDone;
}

void ExitCleanup::run_cleanup() {
    Stage waiting = Stage::kWaiting;
    if (!g_stage.compare_exchange_strong(waiting, Stage::kCleaning)) {
        return;  // it ran already (a message the cleanup itself reported, say)
    }
    if (cleanup_) {
        cleanup_();
    }
    Stage cleaning = Stage::kCleaning;
    g_stage.compare_exchange_strong(cleaning, Stage::kDone);
}

}  // namespace wm
