#pragma once
// Plain registry values outside the settings area: the desktop's screen-saver
// and wallpaper values.
//
// This desktop has no registry, so the program keeps a small typed store of
// its own beside the settings store (registry.ini in the same folder). Each
// key path is a section named "ROOT\path", each value a line
// "name=REG_SZ:text" or "name=REG_DWORD:number".

#include <QString>

#include <cstdint>

namespace wm {

// The predefined root keys, with their conventional numbers.
enum class RootKey : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

// The key of the desktop's screen-saver and wallpaper values, under
// HKEY_CURRENT_USER.
inline const QString kDesktopKeyPath = QStringLiteral("Control Panel\\Desktop");

// Longest value data read_registry_string accepts, in bytes.
inline constexpr int kRegistryBufferBytes = 255;

class Registry {
  public:
    // The store of this user.
    Registry();
    // A store in an explicit file.
    explicit Registry(QString file);

    // The value as text: a REG_DWORD as its decimal number with at least three
    // digits ("001"), a string as its text without a terminating NUL. Every
    // failure (root key not predefined, key or value absent, data longer than
    // the 255-byte buffer) gives empty text.
    QString read_string(std::uint32_t root, const QString& key_path,
                        const QString& value_name) const;
    // Stores the text as a REG_SZ of exactly its characters (no NUL counted;
    // a text ending in QChar(0) stores the NUL as data), creating the key when
    // needed. False when the value could not be stored; most callers ignore it.
    bool write_string(std::uint32_t root, const QString& key_path, const QString& value_name,
                      const QString& text);
    // Stores a REG_DWORD (the desktop's own values are often numbers).
    bool write_dword(std::uint32_t root, const QString& key_path, const QString& value_name,
                     std::uint32_t value);

    const QString& file() const { return file_; }

  private:
    bool store(std::uint32_t root, const QString& key_path, const QString& value_name,
               const QString& encoded);

    QString file_;
};

QString read_registry_string(std::uint32_t root, const QString& key_path,
                             const QString& value_name);
bool write_registry_string(std::uint32_t root, const QString& key_path, const QString& value_name,
                           const QString& text);

}  // namespace wm
