#include "platform/exit_cleanup.h"

#include "platform/run_temp_folder.h"
#include "tests/platform/child_process_folder.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QStringList>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace wm {
namespace {

bool g_ending = false;
bool ending() {
    return g_ending;
}
bool always_ending() {
    return true;
}

// The messages that reached the handler in place before the object.
QStringList g_forwarded;
void recording_handler(QtMsgType, const QMessageLogContext&, const QString& text) {
    g_forwarded << text;
}

// Puts a recording message handler in place for the test and the process's
// own back afterwards.
class ExitCleanupTest : public ::testing::Test {
  protected:
    ExitCleanupTest() : previous_(qInstallMessageHandler(recording_handler)) {
        g_forwarded.clear();
        g_ending = false;
    }
    ~ExitCleanupTest() override { qInstallMessageHandler(previous_); }

    QtMessageHandler previous_;
};

TEST_F(ExitCleanupTest, AMessageOnceTheDisplayIsGoneRunsTheCleanupThereAndThen) {
    int cleanups = 0;
    {
        ExitCleanup guard([&cleanups] { ++cleanups; }, nullptr, ending);
        ASSERT_TRUE(guard.active());
        ExitCleanup second([&cleanups] { cleanups += 100; }, nullptr, always_ending);
        EXPECT_FALSE(second.active());

        qWarning("an ordinary warning");
        EXPECT_EQ(cleanups, 0);
        EXPECT_FALSE(guard.done());

        // Messages from other threads are never the event loop's last words.
        g_ending = true;
        std::thread([] { qWarning("from another thread"); }).join();
        EXPECT_EQ(cleanups, 0);

        qWarning("The X11 connection broke (error 1). Did the X11 server die?");
        EXPECT_EQ(cleanups, 1);
        EXPECT_TRUE(guard.done());
        qCritical("more");
        EXPECT_EQ(cleanups, 1);
    }
    // Every message still reached the handler that was in place, which is
    // back once the object has gone.
    qWarning("after");
    EXPECT_EQ(g_forwarded, (QStringList{QStringLiteral("an ordinary warning"),
                                        QStringLiteral("from another thread"),
                                        QStringLiteral("The X11 connection broke (error 1). Did "
                                                       "the X11 server die?"),
                                        QStringLiteral("more"), QStringLiteral("after")}));
    EXPECT_EQ(cleanups, 1);
    // Without an X11 display (these tests run offscreen) none is ever lost.
    EXPECT_FALSE(x11_connection_broken());
}

// Marks that a step ran, with system calls alone, as a last resort must.
char g_marker_folder[PATH_MAX];
void mark(const char* name) {
    char path[PATH_MAX + 32];
    std::strcpy(path, g_marker_folder);
    std::strcat(path, "/");
    std::strcat(path, name);
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    }
}
void mark_last_resort() {
    mark("last-resort");
    remove_run_temp_folder_at_once();
}

// The child of a death test: a run with its temporary folder in `shared`.
void start_run(const QString& shared) {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared));
    std::strncpy(g_marker_folder, QFile::encodeName(shared).constData(), PATH_MAX - 1);
    test::write_file(run_temp_folder() + QStringLiteral("img_xyz.jpg"), "member");
}

TEST_F(ExitCleanupTest, EveryExitDuringTheRunCleansUpOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        SCOPED_TRACE("the display goes: the cleanup runs, and then the exit");
        const test::ChildProcessFolder shared;
        const auto display_lost = [&shared] {
            start_run(shared.path());
            const ExitCleanup guard([] { remove_run_temp_folder(); }, mark_last_resort,
                                    always_ending);
            qWarning("The X11 connection broke (error 1). Did the X11 server die?");
            std::exit(kExitDisplayLost);
        };
        EXPECT_EXIT(display_lost(), ::testing::ExitedWithCode(kExitDisplayLost), "");
        EXPECT_TRUE(shared.entries().isEmpty()) << shared.entries().join(u' ').toStdString();
    }
    {
        SCOPED_TRACE("an exit without a word: the last resort");
        const test::ChildProcessFolder shared;
        const auto silent_exit = [&shared] {
            start_run(shared.path());
            const ExitCleanup guard([] { mark("cleanup"); }, mark_last_resort, ending);
            std::exit(3);
        };
        EXPECT_EXIT(silent_exit(), ::testing::ExitedWithCode(3), "");
        EXPECT_EQ(shared.entries(), QStringList{QStringLiteral("last-resort")});
    }
    {
        SCOPED_TRACE("the exit comes from inside the cleanup: the last resort as well");
        const test::ChildProcessFolder shared;
        const auto exit_while_cleaning = [&shared] {
            start_run(shared.path());
            const ExitCleanup guard(
                [] {
                    mark("cleanup");
                    std::exit(4);  // as the event loop does when the cleanup runs events
                },
                mark_last_resort, always_ending);
            qWarning("display gone");
            std::_Exit(5);
        };
        EXPECT_EXIT(exit_while_cleaning(), ::testing::ExitedWithCode(4), "");
        EXPECT_EQ(shared.entries(),
                  (QStringList{QStringLiteral("cleanup"), QStringLiteral("last-resort")}));
    }
    {
        SCOPED_TRACE("the run ended first: nothing");
        const test::ChildProcessFolder shared;
        const auto exit_after_the_run = [&shared] {
            start_run(shared.path());
            {
                const ExitCleanup guard([] { mark("cleanup"); }, mark_last_resort, always_ending);
                remove_run_temp_folder();
            }
            qWarning("late");
            std::exit(6);
        };
        EXPECT_EXIT(exit_after_the_run(), ::testing::ExitedWithCode(6), "");
        EXPECT_TRUE(shared.entries().isEmpty()) << shared.entries().join(u' ').toStdString();
    }
}

}  // namespace
}  // namespace wm
