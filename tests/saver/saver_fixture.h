#pragma once
// A saver run on the virtual clock: a small pack of ten flat-coloured
// pictures and a sprite sheet, settings for an 800 x 600 stage, and hooks
// that record what the engine asks of its window.

#include "saver/saver_engine.h"
#include "startup/startup.h"
#include "tests/support/test_support.h"
#include "tests/support/virtual_host.h"

#include <QColor>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace wm::test {

// The colour of pack picture n (1 .. 10).
QColor pack_picture_colour(int n);

// The bytes of the pack's song n (1 .. 4).
QByteArray test_song(int n);

// Writes the pack into `folder` (ending in a separator): pictures 1 .. 10, the
// sprite sheet and its mask, a spare picture and songs 1 .. 4. With `sheets`
// false the pack has pictures only.
void write_test_pack(const QString& folder, bool sheets = true);

class RecordingHooks : public SaverHooks {
  public:
    void show_time_of_day(const QString& text) override { times.push_back(text); }
    bool verify_password() override {
        ++password_asks;
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void pick_first_song() override { ++first_songs; }
    void music_tick() override { music_ticks.push_back(host->now()); }
    void stop_music() override { ++music_stops; }
    void restore_system_state() override { ++restores; }
    void frame_drawn(std::uint32_t frame_started) override { frames.push_back(frame_started); }

    VirtualHost* host = nullptr;
    std::vector<QString> times;
    std::deque<bool> answers;
    int password_asks = 0;
    int first_songs = 0;
    int music_stops = 0;
    int restores = 0;
    std::vector<std::uint32_t> music_ticks;
    std::vector<std::uint32_t> frames;
};

class SaverRun : public testing::Test {
  protected:
    SaverRun();
    void TearDown() override;

    // The window the stage is centred in: 800 x 600 and its border.
    static constexpr QSize kWindow{900, 700};

    // Makes the engine (after settings are final) and runs init_saver in a
    // window of `window` pixels, drawn for a screen of `pixel_ratio`.
    SaverEngine& start(std::uint32_t at_tick = 1000, QSize window = kWindow,
                       double pixel_ratio = 1.0);
    // Ends the saver with a key press at `tick`.
    void key_at(std::uint32_t tick);
    // The stage's pixel (x, y) is close to `colour`.
    bool stage_shows(int x, int y, const QColor& colour) const;

    ScratchHome home;
    MessageCapture messages;
    RunState state;
    RecordingHooks hooks;
    std::unique_ptr<VirtualHost> host;
    std::unique_ptr<SaverEngine> engine;
};

}  // namespace wm::test
