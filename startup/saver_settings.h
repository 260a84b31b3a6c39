#pragma once
// The settings record shared by every part of the program, and its loading
// from and saving to the settings store.

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace wm {

class SettingsStore;

inline const QString kConfigSection = QStringLiteral("Config");
inline const QString kOptionsSection = QStringLiteral("Options");

// The caption list holds at most this many captions (positions 1..500).
inline constexpr int kMaxCaptions = 500;

// The most entries a custom picture or music list can hold.
inline constexpr int kMaxListEntries = 100000;

// A setting's range of values, as the options windows offer it.
struct IntRange {
    int low;
    int high;
};
inline constexpr IntRange kSpriteActiveRange{1, 20};
inline constexpr IntRange kFrameRateRange{10, 60};
inline constexpr IntRange kMouseSensitivityRange{2, 50};
inline constexpr IntRange kSceneDurationRange{10, 180};
inline constexpr IntRange kCaptionsSizeRange{8, 80};
inline constexpr IntRange kCaptionsColorRange{0, 15};

struct SaverSettings {
    int sprite_active = 8;
    int frame_rate = 30;
    int mute_audio = 0;
    int random_music = 0;
    int custom_music_flag = 0;
    int random_pictures = 0;
    int custom_picture_flag = 0;
    int save_wallpaper = 0;
    int mouse_sensitivity = 7;
    int scene_duration = 20;
    int objects_off = 0;
    int scale_background = 1;
    int show_time = 1;
    QString wav_devicename = QStringLiteral("WaveAudio");
    QString midi_devicename = QStringLiteral("Sequencer");
    QString mp3_devicename = QStringLiteral("MPEGVideo");
    int welcome = 1;

    // Lists are numbered from 1: element 0 is never used.
    int custom_audio_files_total = 0;
    std::vector<QString> custom_audio_paths{QString()};
    int custom_picture_files_total = 0;
    std::vector<QString> custom_picture_paths{QString()};

    int captions_color = 15;
    int captions_size = 30;
    int captions_bold = 1;
    int captions_italic = 1;
    int captions_random = 0;
    int captions_off = 0;
    // -1: the caption list has never been saved.
    int captions_total = -1;
    // Positions 0..500; captions 1..captions_total are in use.
    std::vector<QString> captions = std::vector<QString>(kMaxCaptions + 1);
};

// How many entries of a custom picture or music list can be used: its total,
// held to the paths there are (never below 0).
int list_in_use(int total, const std::vector<QString>& paths);

// The five captions of a fresh installation.
void apply_default_captions(SaverSettings& settings);

// The 16 caption colours, by "captions_color" index.
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
inline constexpr std::array<Rgb, 16> kCaptionPalette{{{0, 0, 0},
                                                      {0, 0, 128},
                                                      {0, 128, 0},
                                                      {0, 128, 128},
                                                      {128, 0, 0},
                                                      {128, 0, 128},
                                                      {128, 128, 0},
                                                      {192, 192, 192},
                                                      {128, 128, 128},
                                                      {0, 0, 255},
                                                      {0, 255, 0},
                                                      {0, 255, 255},
                                                      {255, 0, 0},
                                                      {255, 0, 255},
                                                      {255, 255, 0},
                                                      {255, 255, 255}}};

// The palette colour of an index (out-of-range indexes give bright white).
QColor caption_color(int index);

// Reads every setting from the store's "Options" section; missing or unusable
// values take their defaults, numbers are brought into their ranges.
SaverSettings load_settings(const SettingsStore& store);

// Writes the settings back to "Options" (never "welcome" nor "install_path").
// On failure the user is told why and false is returned; the record in
// memory is untouched either way.
bool save_settings(const SaverSettings& settings, SettingsStore& store);

// Writes "welcome" alone (the welcome window saves it by itself, at once),
// keeping every other key of the store as it is. Failure is reported to the
// user as save_settings reports it, and false is returned.
bool save_welcome(const SaverSettings& settings, SettingsStore& store);

}  // namespace wm
