#include "platform/settings_store.h"

#include "platform/app_paths.h"
#include "platform/error_text.h"
#include "platform/regular_file.h"
#include "platform/write_all.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace wm {
namespace {

// Settings files are small (even two lists of 100,000 long paths stay well
// below this); anything larger is not one of ours.
constexpr qint64 kMaxSettingsFileBytes = 64 * 1024 * 1024;

constexpr char kSettingsFileName[] = "settings.ini";

}  // namespace

QString get_setting(const SettingsStore& store, const QString& section, const QString& key,
                    const QString& default_value) {
    return store.read(section, key).value_or(default_value);
}

IniSettingsStore::IniSettingsStore()
    : IniSettingsStore(user_config_folder() + QLatin1String(kSettingsFileName), [] {
          QStringList files;
          for (const QString& folder : system_config_folders()) {
              files << folder + QLatin1String(kSettingsFileName);
          }
          return files;
      }()) {}

IniSettingsStore::IniSettingsStore(QString user_file, QStringList fallback_files)
    : user_file_(std::move(user_file)), fallback_files_(std::move(fallback_files)) {
    reload();
}

void IniSettingsStore::reload() {
    // A file that is there but cannot be read counts as empty, and says so.
    const auto read_or_empty = [](const QString& file) {
        QString problem;
        if (std::optional<IniDocument> doc = read_document(file, &problem)) {
            return std::move(*doc);
        }
        qWarning("wintermere: %s: %s; the settings in it are not used", qPrintable(file),
                 qPrintable(problem));
        return IniDocument::parse(QByteArray());
    };
    user_ = read_or_empty(user_file_);
    fallbacks_.clear();
    for (const QString& file : fallback_files_) {
        fallbacks_.push_back(read_or_empty(file));
    }
}

std::optional<IniDocument> IniSettingsStore::read_document(const QString& file, QString* problem) {
    // No file (a link to none counts as none: a save writes where it points).
    if (!QFileInfo::exists(file)) {
        return IniDocument::parse(QByteArray());
    }
    // Anything else must be a regular file of a settings file's size: a
    // pipe would wait for ever, a device give bytes without end.
    const std::optional<QByteArray> bytes = read_regular_file(file, kMaxSettingsFileBytes, problem);
    if (!bytes) {
        return std::nullopt;
    }
    return IniDocument::parse(*bytes);
}

std::optional<QString> IniSettingsStore::read(const QString& section, const QString& key) const {
    if (auto value = user_.value(section, key)) {
        return value;
    }
    for (const IniDocument& doc : fallbacks_) {
        if (auto value = doc.value(section, key)) {
            return value;
        }
    }
    return std::nullopt;
}

QStringList IniSettingsStore::keys(const QString& section) const {
    QStringList all = user_.keys(section);
    for (const IniDocument& doc : fallbacks_) {
        all << doc.keys(section);
    }
    all.removeDuplicates();
    return all;
}

bool IniSettingsStore::write_document(const QString& file, const IniDocument& doc, QString* error) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        set_error(error, QStringLiteral("cannot create the folder %1").arg(folder));
        return false;
    }
    // Unbuffered, so that a full disk fails the write with its reason
    // instead of leaving a cut-off file for commit() to put in place.
    QSaveFile out(file);
    QString reason;
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !write_all(out, doc.serialize(), &reason) || !out.commit()) {
        if (reason.isEmpty()) {
            reason = out.errorString();
        }
        out.cancelWriting();
        set_error(error, QStringLiteral("cannot write %1: %2").arg(file, reason));
        return false;
    }
    return true;
}

bool IniSettingsStore::write(const QString& section, const SettingValues& values, QString* error) {
    // Start from the file as it is now: another copy of the program may have
    // saved since we read it, and keys we do not write must survive.
    std::optional<IniDocument> current = read_document(user_file_);
    if (!current) {
        set_error(error, QStringLiteral("cannot read %1, so it is left as it is").arg(user_file_));
        return false;
    }
    IniDocument doc = std::move(*current);
    for (const auto& [key, value] : values) {
        if (!doc.set_value(section, key, value)) {
            set_error(error, QStringLiteral("the setting \"%1\" in [%2] cannot be stored in %3")
                                 .arg(key, section, user_file_));
            return false;
        }
    }
    if (!write_document(user_file_, doc, error)) {
        return false;
    }
    user_ = std::move(doc);
    return true;
}

}  // namespace wm
