#include "startup/saver_settings.h"

#include "platform/messages.h"
#include "platform/number_text.h"
#include "platform/settings_store.h"

#include <QStringList>

#include <algorithm>
#include <limits>
#include <optional>

namespace wm {
namespace {

// The position in a key such as "caption12": plain decimal digits after the
// prefix, no sign, no leading zero.
std::optional<int> position_of(const QString& key, const QString& prefix) {
    if (!key.startsWith(prefix, Qt::CaseInsensitive) || key.size() == prefix.size()) {
        return std::nullopt;
    }
    const QString digits = key.mid(prefix.size());
    if (digits.front() == QLatin1Char('0') ||
        !std::all_of(digits.begin(), digits.end(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); })) {
        return std::nullopt;
    }
    bool ok = false;
    const int position = digits.toInt(&ok);
    return ok ? std::optional<int>(position) : std::nullopt;
}

// Writes values to "Options" as one change; on failure tells the user why.
bool write_options(SettingsStore& store, const SettingValues& values) {
    QString error;
    if (!store.write(kOptionsSection, values, &error)) {
        show_message(kProductName,
                     QStringLiteral("Your settings could not be saved: %1.").arg(error),
                     MessageIcon::Exclamation);
        return false;
    }
    return true;
}

class OptionsReader {
  public:
    explicit OptionsReader(const SettingsStore& store)
        : store_(store), keys_(store.keys(kOptionsSection)) {}

    std::optional<int> number(const QString& key) const {
        const std::optional<QString> text = store_.read(kOptionsSection, key);
        return text ? parse_whole_number(*text) : std::nullopt;
    }
    // A number clamped into its range; unusable text gives the default.
    int ranged(const QString& key, int fallback, IntRange range) const {
        return std::clamp(number(key).value_or(fallback), range.low, range.high);
    }
    // A flag keeps the number as stored (it counts as set only when it is 1).
    int flag(const QString& key, int fallback) const { return number(key).value_or(fallback); }
    QString text(const QString& key, const QString& fallback) const {
        return get_setting(store_, kOptionsSection, key, fallback);
    }

    // The number of list entries to read for a stored count. A count up to
    // kMaxListEntries is taken as it stands (missing positions read as empty
    // text). A larger one cannot be a list the user made; it is cut back to
    // the highest position actually stored within that ceiling, so a damaged
    // count never makes us allocate for entries that do not exist.
    int list_count(const QString& prefix, int stored_total) const {
        if (stored_total <= kMaxListEntries) {
            return std::max(stored_total, 0);
        }
        int highest = 0;
        for (const QString& key : keys_) {
            if (const std::optional<int> position = position_of(key, prefix)) {
                if (*position <= kMaxListEntries) {
                    highest = std::max(highest, *position);
                }
            }
        }
        return highest;
    }

    // Positions 1..count of a list; those not stored read as empty text.
    // Only the keys the store holds are read, so a large count with few
    // entries costs no more than the entries.
    std::vector<QString> list(const QString& prefix, int count) const {
        std::vector<QString> out(static_cast<size_t>(count) + 1);
        for (const QString& key : keys_) {
            const std::optional<int> position = position_of(key, prefix);
            if (position && *position <= count) {
                // Read by its plain name, as every other setting: the store
                // decides which copy of a key counts.
                out[static_cast<size_t>(*position)] =
                    text(prefix + QString::number(*position), QString());
            }
        }
        return out;
    }

  private:
    const SettingsStore& store_;
    QStringList keys_;
};

const QString kCustomAudioPrefix = QStringLiteral("custom_audio_paths");
const QString kCustomPicturePrefix = QStringLiteral("custom_picture_paths");
const QString kCaptionPrefix = QStringLiteral("caption");

}  // namespace

int list_in_use(int total, const std::vector<QString>& paths) {
    const int held = static_cast<int>(paths.size()) - 1;
    return std::max(0, std::min(total, held));
}

void apply_default_captions(SaverSettings& settings) {
    settings.captions.assign(kMaxCaptions + 1, QString());
    const QString defaults[] = {
        QStringLiteral("Merry Christmas"), QStringLiteral("You can edit these captions!"),
        QStringLiteral("Have A Safe Holiday Season"), QStringLiteral("Happy New Year!"),
        QStringLiteral("Have You Been Good?")};
    settings.captions_total = 5;
    for (int n = 1; n <= 5; ++n) {
        settings.captions[static_cast<size_t>(n)] = defaults[n - 1];
    }
}

QColor caption_color(int index) {
    const Rgb rgb = (index >= 0 && index < 16) ? kCaptionPalette[static_cast<size_t>(index)]
                                               : kCaptionPalette[15];
    return QColor(rgb.red, rgb.green, rgb.blue);
}

SaverSettings load_settings(const SettingsStore& store) {
    const OptionsReader in(store);
    SaverSettings s;
    s.sprite_active =
        in.ranged(QStringLiteral("sprite_active"), s.sprite_active, kSpriteActiveRange);
    s.frame_rate = in.ranged(QStringLiteral("frame_rate"), s.frame_rate, kFrameRateRange);
    s.mute_audio = in.flag(QStringLiteral("mute_audio"), s.mute_audio);
    s.random_music = in.flag(QStringLiteral("random_music"), s.random_music);
    s.custom_music_flag = in.flag(QStringLiteral("custom_music_flag"), s.custom_music_flag);
    s.random_pictures = in.flag(QStringLiteral("random_pictures"), s.random_pictures);
    s.custom_picture_flag = in.flag(QStringLiteral("custom_picture_flag"), s.custom_picture_flag);
    s.save_wallpaper = in.flag(QStringLiteral("save_wallpaper"), s.save_wallpaper);
    s.mouse_sensitivity =
        in.ranged(QStringLiteral("mouse_sensitivity"), s.mouse_sensitivity, kMouseSensitivityRange);
    s.scene_duration =
        in.ranged(QStringLiteral("scene_duration"), s.scene_duration, kSceneDurationRange);
    s.objects_off = in.flag(QStringLiteral("objects_off"), s.objects_off);
    s.scale_background = in.flag(QStringLiteral("scale_background"), s.scale_background);
    s.show_time = in.flag(QStringLiteral("show_time"), s.show_time);
    s.wav_devicename = in.text(QStringLiteral("wav_devicename"), s.wav_devicename);
    s.midi_devicename = in.text(QStringLiteral("midi_devicename"), s.midi_devicename);
    s.mp3_devicename = in.text(QStringLiteral("mp3_devicename"), s.mp3_devicename);
    s.welcome = in.flag(QStringLiteral("welcome"), s.welcome);

    s.custom_audio_files_total = in.list_count(
        kCustomAudioPrefix, in.number(QStringLiteral("custom_audio_files_total")).value_or(0));
    s.custom_audio_paths = in.list(kCustomAudioPrefix, s.custom_audio_files_total);
    s.custom_picture_files_total = in.list_count(
        kCustomPicturePrefix, in.number(QStringLiteral("custom_picture_files_total")).value_or(0));
    s.custom_picture_paths = in.list(kCustomPicturePrefix, s.custom_picture_files_total);

    s.captions_color =
        in.ranged(QStringLiteral("captions_color"), s.captions_color, kCaptionsColorRange);
    s.captions_size =
        in.ranged(QStringLiteral("captions_size"), s.captions_size, kCaptionsSizeRange);
    s.captions_bold = in.flag(QStringLiteral("captions_bold"), s.captions_bold);
    s.captions_italic = in.flag(QStringLiteral("captions_italic"), s.captions_italic);
    s.captions_random = in.flag(QStringLiteral("captions_random"), s.captions_random);
    s.captions_off = in.flag(QStringLiteral("captions_off"), s.captions_off);

    const int total = in.number(QStringLiteral("captions_total")).value_or(-1);
    if (total < 0) {
        // Never saved (or a damaged count): the list a fresh installation shows.
        apply_default_captions(s);
    } else {
        s.captions_total = std::min(total, kMaxCaptions);
        const std::vector<QString> read = in.list(kCaptionPrefix, s.captions_total);
        std::copy(read.begin(), read.end(), s.captions.begin());
    }
    return s;
}

bool save_settings(const SaverSettings& s, SettingsStore& store) {
    SettingValues out;
    const auto put = [&out](const char* key, const QString& value) {
        out.emplace_back(QString::fromLatin1(key), value);
    };
    const auto put_number = [&put](const char* key, int value) {
        put(key, QString::number(value));
    };
    const auto put_list = [&out](const QString& prefix, const std::vector<QString>& list,
                                 int total) {
        for (int n = 1; n <= total && n < static_cast<int>(list.size()); ++n) {
            out.emplace_back(prefix + QString::number(n), list[static_cast<size_t>(n)]);
        }
    };
    put_number("frame_rate", s.frame_rate);
    put_number("mute_audio", s.mute_audio);
    put_number("random_music", s.random_music);
    put_number("random_pictures", s.random_pictures);
    put_number("custom_music_flag", s.custom_music_flag);
    put_number("custom_picture_flag", s.custom_picture_flag);
    put_number("save_wallpaper", s.save_wallpaper);
    put_number("mouse_sensitivity", s.mouse_sensitivity);
    put_number("scene_duration", s.scene_duration);
    put_number("objects_off", s.objects_off);
    put_number("scale_background", s.scale_background);
    put_number("sprite_active", s.sprite_active);
    put_number("show_time", s.show_time);
    put("wav_devicename", s.wav_devicename);
    put("midi_devicename", s.midi_devicename);
    put("mp3_devicename", s.mp3_devicename);
    put_number("custom_audio_files_total", s.custom_audio_files_total);
    put_list(kCustomAudioPrefix, s.custom_audio_paths, s.custom_audio_files_total);
    put_number("custom_picture_files_total", s.custom_picture_files_total);
    put_list(kCustomPicturePrefix, s.custom_picture_paths, s.custom_picture_files_total);
    put_number("captions_color", s.captions_color);
    put_number("captions_size", s.captions_size);
    put_number("captions_bold", s.captions_bold);
    put_number("captions_italic", s.captions_italic);
    put_number("captions_random", s.captions_random);
    put_number("captions_off", s.captions_off);
    put_number("captions_total", s.captions_total);
    put_list(kCaptionPrefix, s.captions, s.captions_total);

    return write_options(store, out);
}

bool save_welcome(const SaverSettings& settings, SettingsStore& store) {
    return write_options(store, {{QStringLiteral("welcome"), QString::number(settings.welcome)}});
}

}  // namespace wm
