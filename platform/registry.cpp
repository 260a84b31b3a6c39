#include "platform/registry.h"

#include "platform/app_paths.h"
#include "platform/ini_document.h"
#include "platform/settings_store.h"

#include <algorithm>

namespace wm {
namespace {

const QString kSzPrefix = QStringLiteral("REG_SZ:");
const QString kDwordPrefix = QStringLiteral("REG_DWORD:");

bool has_control(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// Names the store can hold as they are: a value name must stand alone as an
// INI key, a key path as a section name.
bool valid_value_name(const QString& name) {
    return !name.isEmpty() && !has_control(name) && name.trimmed() == name &&
           !name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('[')) &&
           !name.startsWith(QLatin1Char(';')) && !name.startsWith(QLatin1Char('#'));
}

bool valid_key_path(const QString& path) {
    return !has_control(path) && !path.contains(QLatin1Char('[')) &&
           !path.contains(QLatin1Char(']'));
}

// The section name of a key: its root's name, a backslash and the path.
std::optional<QString> section_name(std::uint32_t root, const QString& key_path) {
    static const char* const kNames[] = {
        "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
    const std::uint32_t first = static_cast<std::uint32_t>(RootKey::ClassesRoot);
    if (root < first || root > static_cast<std::uint32_t>(RootKey::DynData) ||
        !valid_key_path(key_path)) {
        return std::nullopt;
    }
    QString path = key_path;
    while (path.startsWith(QLatin1Char('\\'))) {
        path.remove(0, 1);
    }
    while (path.endsWith(QLatin1Char('\\'))) {
        path.chop(1);
    }
    return QLatin1String(kNames[root - first]) + QLatin1Char('\\') + path;
}

}  // namespace

Registry::Registry() : Registry(user_config_folder() + QStringLiteral("registry.ini")) {}

Registry::Registry(QString file) : file_(std::move(file)) {}

QString Registry::read_string(std::uint32_t root, const QString& key_path,
                              const QString& value_name) const {
    const std::optional<QString> section = section_name(root, key_path);
    if (!section || !valid_value_name(value_name)) {
        return QString();
    }
    const std::optional<IniDocument> doc = IniSettingsStore::read_document(file_);
    if (!doc || !doc->has_section(*section)) {
        return QString();
    }
    const std::optional<QString> stored = doc->value(*section, value_name);
    if (!stored) {
        return QString();
    }
    if (stored->startsWith(kDwordPrefix)) {
        bool ok = false;
        const qulonglong number = stored->mid(kDwordPrefix.size()).toULongLong(&ok);
        if (!ok || number > 0xffffffffull) {
            return QString();
        }
        return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
    }
    QString data = stored->startsWith(kSzPrefix) ? stored->mid(kSzPrefix.size()) : *stored;
    if (data.toUtf8().size() > kRegistryBufferBytes) {
        return QString();
    }
    // String data normally ends in a NUL that is not part of the text; data
    // stored without one (as write_string stores it) is returned whole.
    if (data.endsWith(QChar(0))) {
        data.chop(1);
    }
    return data;
}

bool Registry::store(std::uint32_t root, const QString& key_path, const QString& value_name,
                     const QString& encoded) {
    const std::optional<QString> section = section_name(root, key_path);
    if (!section || !valid_value_name(value_name)) {
        return false;
    }
    std::optional<IniDocument> doc = IniSettingsStore::read_document(file_);
    if (!doc) {
        return false;
    }
    doc->set_value(*section, value_name, encoded);
    return IniSettingsStore::write_document(file_, *doc, nullptr);
}

bool Registry::write_string(std::uint32_t root, const QString& key_path, const QString& value_name,
                            const QString& text) {
    return store(root, key_path, value_name, kSzPrefix + text);
}

bool Registry::write_dword(std::uint32_t root, const QString& key_path, const QString& value_name,
                           std::uint32_t value) {
    return store(root, key_path, value_name, kDwordPrefix + QString::number(value));
}

QString read_registry_string(std::uint32_t root, const QString& key_path,
                             const QString& value_name) {
    return Registry().read_string(root, key_path, value_name);
}

bool write_registry_string(std::uint32_t root, const QString& key_path, const QString& value_name,
                           const QString& text) {
    return Registry().write_string(root, key_path, value_name, text);
}

}  // namespace wm
