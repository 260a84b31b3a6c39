#pragma once
// What the browsing windows show of the file system, without any widget: the
// volumes a person would recognise as drives, a folder's subfolders and the
// files that match a window's patterns, and where a window starts browsing.
//
// Every folder path these functions give ends in the path separator.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace wm {

// One entry of the drive list: the folder it opens and what it is called.
struct Volume {
    QString root;   // ends in the path separator
    QString label;  // as the drive list shows it

    friend bool operator==(const Volume&, const Volume&) = default;
};

// A mounted file system as the system reports it.
struct MountedVolume {
    QString root;
    QByteArray device;
    QByteArray file_system;
    QString name;  // the volume's own label, when it has one
    bool valid = true;
    bool ready = true;
};

// The drives a person would recognise among `mounts`: valid and ready, not a
// pseudo or memory file system (proc, sysfs, tmpfs …), not a squashfs image
// or a loop device, and not below the system's own trees (/proc, /sys, /dev,
// /run, /boot, /snap) except the removable media of /run/media. Then the
// home folder and each of `extra_folders` (those that exist), unless a volume
// already has that root. The root folder comes first, then the rest in the
// order of their roots.
std::vector<Volume> recognisable_volumes(const std::vector<MountedVolume>& mounts,
                                         const QString& home, const QStringList& extra_folders);

// Where the drive list comes from; tests give their own.
class VolumeSource {
  public:
    virtual ~VolumeSource() = default;
    virtual std::vector<Volume> volumes() const = 0;
};

// The machine's mounted volumes, the home folder, /media, /run/media/$USER
// and /mnt, as recognisable_volumes() filters them.
class SystemVolumes : public VolumeSource {
  public:
    std::vector<Volume> volumes() const override;
};

// `given`, or the machine's own volumes when it is null: what the windows
// browse unless a test gives its own.
const VolumeSource& volumes_or_system(const VolumeSource* given);

// The volume whose root holds `folder` most closely (the longest root that
// is a leading part of it); -1 when none does.
int volume_holding(const std::vector<Volume>& volumes, const QString& folder);

// True when `folder` is a folder whose contents can be listed.
bool folder_can_be_opened(const QString& folder);

// The folder itself, then each folder above it up to the root: "/a/b/" gives
// "/a/b/", "/a/", "/".
QStringList folder_chain(const QString& folder);

// Names of the subfolders of `folder` (hidden ones left out), sorted as a
// person reads them (letter case ignored, numbers in order).
QStringList subfolder_names(const QString& folder);

// Names of the files of `folder` that match `patterns` ("*.gif;*.bmp;*.jpg":
// wildcards separated by ';', letter case ignored; "*.*" is every file, names
// without a dot included), hidden ones left out, sorted like
// subfolder_names().
QStringList matching_file_names(const QString& folder, const QString& patterns);

// The folder the program file is in.
QString program_folder();

// Where a window starts browsing: `remembered` when it can be opened, else
// the program's folder, else the home folder, else the root.
QString start_folder(const QString& remembered);

// `folder` (a separator added when missing) followed by `name`.
QString path_in_folder(const QString& folder, const QString& name);

}  // namespace wm
