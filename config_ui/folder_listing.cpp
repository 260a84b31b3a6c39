#include "config_ui/folder_listing.h"

#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace wm {
namespace {

// File systems that hold no files of a person's own.
const QSet<QByteArray>& pseudo_file_systems() {
    static const QSet<QByteArray> names{
        "autofs",          "binfmt_misc", "bpf",           "cgroup",   "cgroup2", "configfs",
        "debugfs",         "devpts",      "devtmpfs",      "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",          "nsfs",        "proc",          "pstore",   "ramfs",   "rpc_pipefs",
        "securityfs",      "selinuxfs",   "squashfs",      "sysfs",    "tmpfs",   "tracefs",
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.snapfuse", "nfsd",     "overlay"};
    return names;
}

bool below(const QString& folder, const QString& tree) {
    return folder == tree || folder.startsWith(tree);
}

// Folders of the system's own, where no drive of a person's is mounted;
// removable media below /run/media are the exception.
bool in_system_tree(const QString& root) {
    static const QStringList trees{QStringLiteral("/proc/"),   QStringLiteral("/sys/"),
                                   QStringLiteral("/dev/"),    QStringLiteral("/run/"),
                                   QStringLiteral("/boot/"),   QStringLiteral("/snap/"),
                                   QStringLiteral("/var/lib/")};
    if (below(root, QStringLiteral("/run/media/"))) {
        return false;
    }
    return std::any_of(trees.begin(), trees.end(),
                       [&](const QString& tree) { return below(root, tree); });
}

QString drive_label(const QString& root, const QString& name) {
    QString shown = root.size() > 1 ? root.chopped(1) : root;
    // A label that only repeats the folder's name says nothing more.
    if (!name.isEmpty() && name != QDir(shown).dirName()) {
        shown += QStringLiteral(" [%1]").arg(name);
    }
    return shown;
}

// Compares names as a person reads them: letter case ignored, and runs of
// digits by their value, so that "photo 9" comes before "photo 10".
int natural_compare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            while (i < a.size() - 1 && a[i] == QLatin1Char('0') && a[i + 1].isDigit()) {
                ++i;
            }
            while (j < b.size() - 1 && b[j] == QLatin1Char('0') && b[j + 1].isDigit()) {
                ++j;
            }
            qsizetype end_a = i;
            qsizetype end_b = j;
            while (end_a < a.size() && a[end_a].isDigit()) {
                ++end_a;
            }
            while (end_b < b.size() && b[end_b].isDigit()) {
                ++end_b;
            }
            if (end_a - i != end_b - j) {
                return end_a - i < end_b - j ? -1 : 1;  // fewer digits, smaller number
            }
            const int digits =
                QStringView(a).mid(i, end_a - i).compare(QStringView(b).mid(j, end_b - j));
            if (digits != 0) {
                return digits;
            }
            i = end_a;
            j = end_b;
            continue;
        }
        const char32_t x = a[i].toCaseFolded().unicode();
        const char32_t y = b[j].toCaseFolded().unicode();
        if (x != y) {
            return x < y ? -1 : 1;
        }
        ++i;
        ++j;
    }
    const qsizetype rest_a = a.size() - i;
    const qsizetype rest_b = b.size() - j;
    return rest_a == rest_b ? 0 : (rest_a < rest_b ? -1 : 1);
}

void sort_for_reading(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = natural_compare(a, b);
        return order != 0 ? order < 0 : a < b;  // names equal but for case keep one order
    });
}

}  // namespace

std::vector<Volume> recognisable_volumes(const std::vector<MountedVolume>& mounts,
                                         const QString& home, const QStringList& extra_folders) {
    std::vector<Volume> volumes;
    const auto add = [&](const QString& folder, const QString& label) {
        const QString root = with_trailing_separator(QDir::cleanPath(folder));
        const bool known = std::any_of(volumes.begin(), volumes.end(),
                                       [&](const Volume& v) { return v.root == root; });
        if (!known) {
            volumes.push_back({root, label.isEmpty() ? drive_label(root, {}) : label});
        }
    };
    for (const MountedVolume& mount : mounts) {
        const QString root = with_trailing_separator(QDir::cleanPath(mount.root));
        const bool pseudo = pseudo_file_systems().contains(mount.file_system.toLower()) &&
                            root != QStringLiteral("/");
        if (!mount.valid || !mount.ready || mount.root.isEmpty() || pseudo ||
            mount.device.startsWith("/dev/loop") || in_system_tree(root)) {
            continue;
        }
        add(root, drive_label(root, mount.name));
    }
    if (!home.isEmpty() && QFileInfo(home).isDir()) {
        const QString root = with_trailing_separator(QDir::cleanPath(home));
        add(root, QStringLiteral("%1 [%2]").arg(drive_label(root, {}),
                                                QCoreApplication::translate("Browsing", "Home")));
    }
    for (const QString& folder : extra_folders) {
        if (QFileInfo(folder).isDir()) {
            add(folder, {});
        }
    }
    std::stable_sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
        if ((a.root == QStringLiteral("/")) != (b.root == QStringLiteral("/"))) {
            return a.root == QStringLiteral("/");
        }
        return a.root < b.root;
    });
    return volumes;
}

std::vector<Volume> SystemVolumes::volumes() const {
    std::vector<MountedVolume> mounts;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!QFileInfo(storage.rootPath()).isDir()) {
            continue;  // a single file bound into place (containers do that)
        }
        mounts.push_back({storage.rootPath(), storage.device(), storage.fileSystemType(),
                          storage.name(), storage.isValid(), storage.isReady()});
    }
    QStringList extra{QStringLiteral("/media"), QStringLiteral("/mnt")};
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty() && !user.contains(kPathSeparator)) {
        extra.insert(1, QStringLiteral("/run/media/") + user);
    }
    return recognisable_volumes(mounts, QDir::homePath(), extra);
}

const VolumeSource& volumes_or_system(const VolumeSource* given) {
    static const SystemVolumes system;
    return given != nullptr ? *given : system;
}

int volume_holding(const std::vector<Volume>& volumes, const QString& folder) {
    const QString path = with_trailing_separator(folder);
    int best = -1;
    for (int i = 0; i < static_cast<int>(volumes.size()); ++i) {
        const QString& root = volumes[static_cast<std::size_t>(i)].root;
        if (path.startsWith(root) &&
            (best < 0 || root.size() > volumes[static_cast<std::size_t>(best)].root.size())) {
            best = i;
        }
    }
    return best;
}

bool folder_can_be_opened(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QStringList folder_chain(const QString& folder) {
    QStringList chain;
    QString path = QDir::cleanPath(folder);
    if (path.isEmpty()) {
        return chain;
    }
    for (;;) {
        chain.append(with_trailing_separator(path));
        if (path == QStringLiteral("/")) {
            break;
        }
        const qsizetype cut = path.lastIndexOf(kPathSeparator);
        if (cut < 0) {
            break;
        }
        path = cut == 0 ? QStringLiteral("/") : path.left(cut);
    }
    return chain;
}

QStringList subfolder_names(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    sort_for_reading(names);
    return names;
}

QStringList matching_file_names(const QString& folder, const QString& patterns) {
    QDir dir(folder);
    QStringList filters = QDir::nameFiltersFromString(patterns);
    // "*.*" means every file, as it always has on the desktops these
    // patterns come from, names without a dot (README) included.
    std::replace(filters.begin(), filters.end(), QStringLiteral("*.*"), QStringLiteral("*"));
    dir.setNameFilters(filters);
    QStringList names = dir.entryList(QDir::Files, QDir::NoSort | QDir::IgnoreCase);
    sort_for_reading(names);
    return names;
}

QString program_folder() {
    return with_trailing_separator(QCoreApplication::applicationDirPath());
}

QString start_folder(const QString& remembered) {
    for (const QString& candidate : {remembered, program_folder(), QDir::homePath()}) {
        if (folder_can_be_opened(candidate)) {
            return with_trailing_separator(QDir::cleanPath(candidate));
        }
    }
    return QStringLiteral("/");
}

QString path_in_folder(const QString& folder, const QString& name) {
    return with_trailing_separator(folder) + name;
}

}  // namespace wm
