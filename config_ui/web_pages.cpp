#include "config_ui/web_pages.h"

#include "pack/pack_format.h"
#include "platform/messages.h"

#include <QDesktopServices>

#include <utility>

namespace wm {
namespace {

constexpr char kCataloguePage[] = "https://www.quillory.example/holiday-titles";

const QString kNoBrowserText = QStringLiteral("Shell Execute Error. (No default browser?)");

WebPageOpener& current_opener() {
    static WebPageOpener opener;
    return opener;
}

}  // namespace

// The site every pack's index names.
QUrl product_page() {
    return QUrl(kPackMakerAddress);
}

QUrl maker_catalogue_page() {
    return QUrl(QString::fromLatin1(kCataloguePage));
}

bool open_web_page(const QUrl& page) {
    // The browser runs as a process of its own; nothing waits for it.
    const bool opened = current_opener() ? current_opener()(page) : QDesktopServices::openUrl(page);
    if (!opened) {
        show_message(kProductName, kNoBrowserText, MessageIcon::None);
    }
    return opened;
}

WebPageOpener set_web_page_opener(WebPageOpener opener) {
    return std::exchange(current_opener(), std::move(opener));
}

}  // namespace wm
