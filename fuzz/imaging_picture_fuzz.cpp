// Fuzzes the one picture loader of the saver and the preview windows
// (load_picture_file) on a file of fuzzed bytes. The input's first byte
// chooses the file name's ending and the options (see seed_format.h); the
// rest is the file. Qt's image reader runs inside a GUI application on the
// offscreen platform, with the image plugins the program itself would load.
//
// Besides "no crash, no hang, no huge allocation" it holds the loader to its
// word: a picture comes back, never a null one, within the surface limits
// (inside the area when scaled to its exact fit, as 32-bit pixels when it was
// a JPEG) and without any message to the user; a failure says why.

#include "fuzz/fuzz_support.h"
#include "fuzz/message_count.h"
#include "fuzz/seed_format.h"
#include "imaging/picture_file.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <optional>

using wm::fuzz::check;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    wm::fuzz::quiet_output();
    wm::fuzz::count_messages();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Lives as long as the process: the targets end by exit().
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) {
        return 0;
    }
    const wm::fuzz::PictureChoice choice = wm::fuzz::picture_choice(bytes[0]);
    const QString path = wm::fuzz::scratch_folder() + QStringLiteral("picture") + choice.suffix;
    const QByteArray file = wm::fuzz::input_bytes(bytes + 1, length - 1);
    wm::fuzz::write_file(path, file);

    wm::PictureFileOptions options;
    options.fit_into = choice.fit_into;
    options.exact_fit = choice.exact_fit;
    options.apply_orientation = choice.oriented;
    QString problem;
    const std::optional<QImage> picture = wm::load_picture_file(path, options, &problem);
    const QString detail =
        QStringLiteral("%1, fit %2 x %3%4%5: %6")
            .arg(choice.suffix)
            .arg(choice.fit_into.width())
            .arg(choice.fit_into.height())
            .arg(choice.exact_fit ? QStringLiteral(" exactly") : QString())
            .arg(choice.oriented ? QStringLiteral(", turned upright") : QString())
            .arg(picture ? QStringLiteral("%1 x %2").arg(picture->width()).arg(picture->height())
                         : problem);

    check(wm::fuzz::messages_shown() == 0, "loading a picture showed a message", detail);
    if (!picture) {
        check(!problem.isEmpty(), "a refused picture comes without a reason", detail);
        return 0;
    }
    check(!picture->isNull(), "a null picture came back", detail);
    check(wm::cDIBSection::within_limits(picture->width(), picture->height()),
          "a picture beyond the surface limits came back", detail);
    if (choice.fit_into.isValid() && choice.exact_fit) {
        check(picture->width() <= choice.fit_into.width() &&
                  picture->height() <= choice.fit_into.height(),
              "a picture scaled to its fit is larger than the area", detail);
    }
    // Read as a JPEG: by its name or by its first bytes.
    if (choice.suffix == QStringLiteral(".jpg") || file.startsWith("\xff\xd8")) {
        check(picture->format() == QImage::Format_RGB32, "a JPEG came in another format", detail);
    }
    return 0;
}
