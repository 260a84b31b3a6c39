#pragma once
// The per-user application settings store.
//
// Values are text, keyed by section and key under the application's name.
// The user's own file ($XDG_CONFIG_HOME/Quillory Wintermere/settings.ini) is
// read first; a key it lacks is looked up in the system-wide copies
// ($XDG_CONFIG_DIRS/Quillory Wintermere/settings.ini), which is where an
// installed package records "install_path". Writes go to the user's file
// only and are atomic: the whole file is written beside the old one and then
// renamed over it, so a crash or a full disk never leaves it half-written.

#include "platform/ini_document.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace wm {

using SettingValues = std::vector<std::pair<QString, QString>>;

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual std::optional<QString> read(const QString& section, const QString& key) const = 0;
    // Every key the store holds in a section (user's and system-wide together).
    virtual QStringList keys(const QString& section) const = 0;
    // Writes the values, in order, as one change. On failure nothing in the
    // store changes and *error (when given) says why.
    virtual bool write(const QString& section, const SettingValues& values, QString* error) = 0;
};

// GetSetting: the stored text, or the default when the key is absent.
QString get_setting(const SettingsStore& store, const QString& section, const QString& key,
                    const QString& default_value);

// The store in the user's and the system's configuration folders.
class IniSettingsStore : public SettingsStore {
  public:
    // The standard files of this user and this system.
    IniSettingsStore();
    // Explicit files: the user's (read and written) and read-only fallbacks.
    IniSettingsStore(QString user_file, QStringList fallback_files);

    std::optional<QString> read(const QString& section, const QString& key) const override;
    QStringList keys(const QString& section) const override;
    bool write(const QString& section, const SettingValues& values, QString* error) override;

    const QString& user_file() const { return user_file_; }

    // Writes one document atomically to a file, making its folder when needed.
    static bool write_document(const QString& file, const IniDocument& doc, QString* error);
    // The document in a file: empty when there is no file, nullopt
    // (with the reason in *problem, when given) when something is there that
    // is not a regular file of a settings file's size or cannot be read; it
    // must then not be written over. Never waits on a pipe or reads a device.
    static std::optional<IniDocument> read_document(const QString& file,
                                                    QString* problem = nullptr);

  private:
    void reload();

    QString user_file_;
    QStringList fallback_files_;
    IniDocument user_;
    std::vector<IniDocument> fallbacks_;
};

}  // namespace wm
