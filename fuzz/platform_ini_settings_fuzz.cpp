// Fuzzes the settings file reader: IniDocument::parse on fuzzed bytes, a
// write and a read back (every section's keys and values must survive it,
// and so must any value set), then load_settings over a store holding the
// parsed document, whose record must be within its ranges and must come back
// unchanged through save_settings, both from the store and from the file
// text the save would write.

#include "fuzz/fuzz_support.h"
#include "fuzz/message_count.h"
#include "platform/ini_document.h"
#include "platform/settings_store.h"
#include "startup/saver_settings.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

using wm::IniDocument;
using wm::SaverSettings;
using wm::fuzz::check;

// A settings store over one document in memory; writes always succeed.
class DocumentStore : public wm::SettingsStore {
  public:
    explicit DocumentStore(IniDocument doc) : doc_(std::move(doc)) {}

    std::optional<QString> read(const QString& section, const QString& key) const override {
        return doc_.value(section, key);
    }
    QStringList keys(const QString& section) const override { return doc_.keys(section); }
    bool write(const QString& section, const wm::SettingValues& values, QString*) override {
        for (const auto& [key, value] : values) {
            doc_.set_value(section, key, value);
        }
        return true;
    }

    const IniDocument& document() const { return doc_; }

  private:
    IniDocument doc_;
};

// The names a "[...]" line of the text could give a section, and the two the
// program reads. Names that are no section are harmless: they have no keys.
QStringList section_names(const QString& text) {
    constexpr int kMostNames = 64;
    QSet<QString> names{wm::kConfigSection, wm::kOptionsSection};
    for (const QString& raw : text.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
        const QString line = raw.trimmed();
        if (!line.startsWith(QLatin1Char('['))) {
            continue;
        }
        for (qsizetype close = line.indexOf(QLatin1Char(']'));
             close > 0 && names.size() < kMostNames;
             close = line.indexOf(QLatin1Char(']'), close + 1)) {
            names.insert(line.mid(1, close - 1).trimmed());
        }
    }
    return names.values();
}

// The first section, key and values in which two documents differ.
QString documents_differ(const IniDocument& a, const IniDocument& b, const QStringList& sections) {
    for (const QString& section : sections) {
        if (a.has_section(section) != b.has_section(section)) {
            return QStringLiteral("section [%1] present in one only").arg(section);
        }
        const QStringList keys = a.keys(section);
        if (keys != b.keys(section)) {
            return QStringLiteral("section [%1]: keys (%2) against (%3)")
                .arg(section, keys.join(QLatin1Char(',')), b.keys(section).join(QLatin1Char(',')));
        }
        for (const QString& key : keys) {
            if (a.value(section, key) != b.value(section, key)) {
                return QStringLiteral("[%1] %2: \"%3\" against \"%4\"")
                    .arg(section, key, a.value(section, key).value_or(QString()),
                         b.value(section, key).value_or(QString()));
            }
        }
    }
    return {};
}

// The fields of two records that differ, by name.
QString records_differ(const SaverSettings& a, const SaverSettings& b) {
    QStringList out;
    const auto field = [&out](const char* name, const auto& x, const auto& y) {
        if (x != y) {
            out << QString::fromLatin1(name);
        }
    };
    field("sprite_active", a.sprite_active, b.sprite_active);
    field("frame_rate", a.frame_rate, b.frame_rate);
    field("mute_audio", a.mute_audio, b.mute_audio);
    field("random_music", a.random_music, b.random_music);
    field("custom_music_flag", a.custom_music_flag, b.custom_music_flag);
    field("random_pictures", a.random_pictures, b.random_pictures);
    field("custom_picture_flag", a.custom_picture_flag, b.custom_picture_flag);
    field("save_wallpaper", a.save_wallpaper, b.save_wallpaper);
    field("mouse_sensitivity", a.mouse_sensitivity, b.mouse_sensitivity);
    field("scene_duration", a.scene_duration, b.scene_duration);
    field("objects_off", a.objects_off, b.objects_off);
    field("scale_background", a.scale_background, b.scale_background);
    field("show_time", a.show_time, b.show_time);
    field("wav_devicename", a.wav_devicename, b.wav_devicename);
    field("midi_devicename", a.midi_devicename, b.midi_devicename);
    field("mp3_devicename", a.mp3_devicename, b.mp3_devicename);
    field("welcome", a.welcome, b.welcome);
    field("custom_audio_files_total", a.custom_audio_files_total, b.custom_audio_files_total);
    field("custom_audio_paths", a.custom_audio_paths, b.custom_audio_paths);
    field("custom_picture_files_total", a.custom_picture_files_total, b.custom_picture_files_total);
    field("custom_picture_paths", a.custom_picture_paths, b.custom_picture_paths);
    field("captions_color", a.captions_color, b.captions_color);
    field("captions_size", a.captions_size, b.captions_size);
    field("captions_bold", a.captions_bold, b.captions_bold);
    field("captions_italic", a.captions_italic, b.captions_italic);
    field("captions_random", a.captions_random, b.captions_random);
    field("captions_off", a.captions_off, b.captions_off);
    field("captions_total", a.captions_total, b.captions_total);
    field("captions", a.captions, b.captions);
    return out.join(QStringLiteral(", "));
}

bool within(int value, wm::IntRange range) {
    return value >= range.low && value <= range.high;
}

void check_ranges(const SaverSettings& s) {
    check(within(s.sprite_active, wm::kSpriteActiveRange), "sprite_active out of range");
    check(within(s.frame_rate, wm::kFrameRateRange), "frame_rate out of range");
    check(within(s.mouse_sensitivity, wm::kMouseSensitivityRange),
          "mouse_sensitivity out of range");
    check(within(s.scene_duration, wm::kSceneDurationRange), "scene_duration out of range");
    check(within(s.captions_size, wm::kCaptionsSizeRange), "captions_size out of range");
    check(within(s.captions_color, wm::kCaptionsColorRange), "captions_color out of range");
    check(s.captions_total >= 0 && s.captions_total <= wm::kMaxCaptions,
          "captions_total out of range", QString::number(s.captions_total));
    check(s.captions.size() == wm::kMaxCaptions + 1, "the caption list is not 501 long");
    check(s.custom_audio_files_total >= 0 && s.custom_audio_files_total <= wm::kMaxListEntries,
          "custom_audio_files_total out of range");
    check(s.custom_picture_files_total >= 0 && s.custom_picture_files_total <= wm::kMaxListEntries,
          "custom_picture_files_total out of range");
    check(!s.custom_audio_paths.empty() && !s.custom_picture_paths.empty(),
          "a custom list lacks its unused entry 0");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    wm::fuzz::quiet_output();
    wm::fuzz::count_messages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const QByteArray input = wm::fuzz::input_bytes(bytes, length);
    const QStringList sections = section_names(QString::fromUtf8(input));

    // Written and read back, a document means what it meant.
    const IniDocument doc = IniDocument::parse(input);
    const QByteArray text = doc.serialize();
    const IniDocument reread = IniDocument::parse(text);
    QString differs = documents_differ(doc, reread, sections);
    check(differs.isEmpty(), "a document changed on a write and a read back", differs);
    check(reread.serialize() == text, "a document written twice changed its text");

    // Any text set as a value reads back as it was set.
    IniDocument changed = reread;
    const QString value = QString::fromUtf8(input.right(input.size() / 2));
    changed.set_value(wm::kOptionsSection, QStringLiteral("fuzz_value"), value);
    check(changed.value(wm::kOptionsSection, QStringLiteral("fuzz_value")) == value,
          "a value set does not read as set");
    const IniDocument changed_reread = IniDocument::parse(changed.serialize());
    check(changed_reread.value(wm::kOptionsSection, QStringLiteral("fuzz_value")) == value,
          "a value set changed on a write and a read back",
          changed_reread.value(wm::kOptionsSection, QStringLiteral("fuzz_value"))
              .value_or(QStringLiteral("(none)")));
    differs = documents_differ(reread, changed_reread, QStringList{wm::kConfigSection});
    check(differs.isEmpty(), "setting an option changed the Config section", differs);

    // The settings record: within its ranges, and unchanged by a save.
    DocumentStore store(doc);
    const SaverSettings loaded = wm::load_settings(store);
    check_ranges(loaded);
    check(wm::save_settings(loaded, store), "save_settings failed on a store that cannot fail");
    check(wm::fuzz::messages_shown() == 0, "loading or saving settings showed a message");
    differs = records_differ(loaded, wm::load_settings(store));
    check(differs.isEmpty(), "settings changed on a save and a load", differs);
    const DocumentStore saved_file(IniDocument::parse(store.document().serialize()));
    differs = records_differ(loaded, wm::load_settings(saved_file));
    check(differs.isEmpty(), "settings changed on a save to the file and a load", differs);
    return 0;
}
