#pragma once
// The case every end-to-end saver test starts from: a private virtual
// display, a private installed copy of the program, quiet options, and the
// ways a user starts and ends the saver.

#include "platform/settings_store.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/installed_saver.h"
#include "tests/e2e/saver_process.h"
#include "tests/e2e/x_display.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace wm::e2e {

inline constexpr QSize kScreen(1280, 720);
inline const QString kTitle = QStringLiteral("Screen Saver Main Form");
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kBlack = 0xff000000;

// Start-up runs under the sanitizers, maybe beside other tests on two cores.
inline constexpr int kFirstPictureMs = 20000;
inline constexpr int kEndMs = 5000;
// A painted picture has tens of thousands of colours; a blank or merely
// bordered screen has a handful.
inline constexpr int kPictureColours = 5000;
// Pixels that differ by more than this in a channel count as changed.
inline constexpr int kChangeThreshold = 32;
// Music: how long the first notes may take, how many loud samples (16-bit,
// two channels) make it music (a quarter of a second), and how long a quiet
// run goes on.
inline constexpr int kFirstSoundMs = 15000;
inline constexpr qint64 kLoudSamples = 44100 / 2;
inline constexpr int kQuietRunMs = 5000;

// Every file and folder below `folder`, as paths relative to it.
QStringList everything_in(const QString& folder);

class SaverE2eTest : public ::testing::Test {
  protected:
    SaverE2eTest() : display_(kScreen) {}

    void SetUp() override;

    // The quiet options every case starts from, with the case's own on top.
    void set_options(const SettingValues& own);

    // Starts "wintermere /s" and waits until a picture covers `stage`;
    // *shot receives that screen. A run that ends first fails the case with
    // what the program said.
    void start_saver(SaverProcess& run, QImage* shot, const QRect& stage);
    void start_saver(SaverProcess& run, QImage* shot) {
        start_saver(run, shot, QRect(QPoint(0, 0), kScreen));
    }

    // Presses a key (or clicks) as a user does and waits for the saver to end.
    void end_by_input(SaverProcess& run, const QStringList& input);

    // What the runs keep in their private temporary folders ("wintermere-*"
    // under XDG_RUNTIME_DIR), as paths relative to that base. Other programs'
    // files there (a session bus's, say) are not the saver's to judge.
    QStringList own_run_files() const;

    XDisplay display_;
    InstalledSaver saver_;
};

}  // namespace wm::e2e
