// wintermere-media: makes the program's built-in media.
//
//   wintermere-media build OUT              every file: OUT/members/ (the pack's
//                                           members), OUT/pack/images.icf and .img,
//                                           OUT/windows/ (window pictures and
//                                           windows.qrc, their resource list),
//                                           OUT/icons/ (the program's icon,
//                                           wintermere-48.png, -128.png, -256.png)
//   wintermere-media render NAME FILE       one member, window picture or icon
//                                           (by its file name), to FILE
//   wintermere-media contact-sheet OUT PNG  a review sheet of what `build` made in OUT
//
// The same sources always give the same bytes. Exit status: 0 on success,
// 1 when the work fails, 2 for wrong arguments.

#include "assets/contact_sheet.h"
#include "assets/media_catalogue.h"
#include "assets/windows/wordmark.h"
#include "pack/pack_writer.h"
#include "platform/tool_exit.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>

namespace {

using wm::kExitFailure;
using wm::kExitSuccess;

int usage() {
    return wm::print_usage(
        "usage: wintermere-media build OUT\n"
        "       wintermere-media render NAME FILE\n"
        "       wintermere-media contact-sheet OUT PNG\n");
}

bool fail(const QString& text) {
    wm::print_tool_error("wintermere-media", text);
    return false;
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
    return true;
}

// Makes every item into `folder`; the full paths, in order, go to `paths`.
bool make_items(const std::vector<wm::media::MediaItem>& items, const QString& folder,
                QStringList& paths) {
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("cannot create %1").arg(folder));
    }
    for (const wm::media::MediaItem& item : items) {
        const QByteArray bytes = item.make();
        if (bytes.isEmpty()) {
            return fail(QStringLiteral("could not make %1").arg(item.name));
        }
        const QString path = folder + QLatin1Char('/') + item.name;
        if (!write_file(path, bytes)) {
            return false;
        }
        paths << path;
    }
    return true;
}

// The resource list that compiles the window pictures into the program.
QByteArray resource_list(const std::vector<wm::media::MediaItem>& items) {
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/windows\">\n";
    for (const wm::media::MediaItem& item : items) {
        qrc += "  <file>" + item.name.toUtf8() + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    return qrc;
}

bool build(const QString& out) {
    QStringList members;
    if (!make_items(wm::media::pack_members(), out + QStringLiteral("/members"), members)) {
        return false;
    }
    const QString pack_folder = out + QStringLiteral("/pack");
    QString problem;
    if (!QDir().mkpath(pack_folder) ||
        !wm::make_pack_file(pack_folder, QStringLiteral("images"), members, &problem)) {
        return fail(QStringLiteral("cannot write the pack in %1: %2").arg(pack_folder, problem));
    }
    const auto windows = wm::media::window_pictures();
    QStringList pictures;
    const QString windows_folder = out + QStringLiteral("/windows");
    QStringList icons;
    return make_items(windows, windows_folder, pictures) &&
           write_file(windows_folder + QStringLiteral("/windows.qrc"), resource_list(windows)) &&
           make_items(wm::media::app_icons(), out + QStringLiteral("/icons"), icons);
}

bool render(const QString& name, const QString& file) {
    auto items = wm::media::pack_members();
    const auto windows = wm::media::window_pictures();
    items.insert(items.end(), windows.begin(), windows.end());
    const auto icons = wm::media::app_icons();
    items.insert(items.end(), icons.begin(), icons.end());
    for (const wm::media::MediaItem& item : items) {
        if (item.name == name) {
            const QByteArray bytes = item.make();
            return bytes.isEmpty() ? fail(QStringLiteral("could not make %1").arg(name))
                                   : write_file(file, bytes);
        }
    }
    return fail(QStringLiteral("no media file is called %1").arg(name));
}

}  // namespace

// The lettered pictures need their fonts; without them the bytes would differ.
bool fonts_present() {
    const QString missing = wm::media::missing_lettering_font();
    return missing.isEmpty() ||
           fail(QStringLiteral("the font \"%1\" is not installed (Debian package fonts-liberation)")
                    .arg(missing));
}

int main(int argc, char** argv) {
    // Painting text needs a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("build")) {
        return fonts_present() && build(args[1]) ? kExitSuccess : kExitFailure;
    }
    if (args.size() == 3 && args[0] == QLatin1String("render")) {
        return fonts_present() && render(args[1], args[2]) ? kExitSuccess : kExitFailure;
    }
    if (args.size() == 3 && args[0] == QLatin1String("contact-sheet")) {
        QString problem;
        if (!wm::media::write_contact_sheet(args[1], args[2], &problem)) {
            fail(problem);
            return kExitFailure;
        }
        return kExitSuccess;
    }
    return usage();
}
