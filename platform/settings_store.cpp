#include "platform/settings_store.h"

#include "platform/app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace wm {
namespace {

// Settings files are small; anything larger is not one of ours.
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
    const IniDocument empty = IniDocument::parse(QByteArray());
    user_ = read_document(user_file_).value_or(empty);
    fallbacks_.clear();
    for (const QString& file : fallback_files_) {
        fallbacks_.push_back(read_document(file).value_or(empty));
    }
}

std::optional<IniDocument> IniSettingsStore::read_document(const QString& file) {
    QFile in(file);
    if (!in.exists()) {
        return IniDocument::parse(QByteArray());
    }
    if (in.size() > kMaxSettingsFileBytes || !in.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return IniDocument::parse(in.readAll());
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
        if (error != nullptr) {
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        }
        return false;
    }
    QSaveFile out(file);
    const QByteArray bytes = doc.serialize();
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot write %1: %2").arg(file, out.errorString());
        }
        return false;
    }
    return true;
}

bool IniSettingsStore::write(const QString& section, const SettingValues& values, QString* error) {
    // Start from the file as it is now: another copy of the program may have
    // saved since we read it, and keys we do not write must survive.
    std::optional<IniDocument> current = read_document(user_file_);
    if (!current) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot read %1, so it is left as it is").arg(user_file_);
        }
        return false;
    }
    IniDocument doc = std::move(*current);
    for (const auto& [key, value] : values) {
        doc.set_value(section, key, value);
    }
    if (!write_document(user_file_, doc, error)) {
        return false;
    }
    user_ = std::move(doc);
    return true;
}

}  // namespace wm
