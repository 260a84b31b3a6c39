#include "startup/still_preview.h"

#include "assets/window_assets.h"
#include "imaging/picture_box.h"
#include "imaging/picture_box_widget.h"
#include "platform/host_window.h"
#include "platform/messages.h"
#include "platform/termination_signals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

namespace wm {
namespace {

// How often the preview looks whether it should end.
constexpr int kPreviewTickMs = 100;

void say(const QString& line) {
    print_error(line);
}

// The preview's picture box. When the host asks it to close, it is not
// closed: it leaves the host's window (hides) and the preview ends at its
// next tick.
class PreviewPictureBox final : public PictureBoxWidget {
  public:
    PreviewPictureBox(PictureBox* box, std::function<void()> on_close_asked)
        : PictureBoxWidget(box), on_close_asked_(std::move(on_close_asked)) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        hide();
        on_close_asked_();
    }

  private:
    std::function<void()> on_close_asked_;
};

}  // namespace

int run_still_preview(std::int32_t host_window) {
    const auto not_a_window = [host_window](const QString& why) {
        say(QStringLiteral("the preview's host window %1 is not a window (%2)")
                .arg(host_window)
                .arg(why));
        return kExitNoHostWindow;
    };
    if (host_window == 0) {
        return not_a_window(QStringLiteral("no window was given"));
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        say(QStringLiteral("the preview needs a display (none was found)"));
        return kExitPreviewNeedsX11;
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        say(QStringLiteral("the preview needs an X11 display through Qt's xcb platform "
                           "(this one is \"%1\")")
                .arg(QGuiApplication::platformName()));
        return kExitPreviewNeedsX11;
    }

    // From here on a stop signal ends the preview in order, whenever it comes.
    QEventLoop loop;
    std::optional<int> ending;  // the exit status, once the preview is to end
    const auto end_with = [&loop, &ending](int status) {
        if (!ending) {
            ending = status;
        }
        loop.quit();
    };
    const TerminationSignals stop_signals(
        [&end_with](int signal_number) { end_with(termination_exit_status(signal_number)); });

    // The window number is an X11 id, 32 bits as the host wrote them.
    const auto host = static_cast<std::uint32_t>(host_window);
    QString problem;
    const std::optional<HostWindowInfo> found = query_host_window(host, &problem);
    if (!found) {
        return not_a_window(problem);
    }

    PictureBox still;
    const QImage picture = window_picture(WindowPicture::Preview);
    if (picture.isNull()) {
        say(
            QStringLiteral("the preview's still picture is missing from this build; the "
                           "preview stays black"));
    }
    still.load_picture(picture);

    bool active = true;  // false once the host has asked our window to close
    PreviewPictureBox box(&still, [&active] { active = false; });
    box.setAttribute(Qt::WA_QuitOnClose, false);
    if (!embed_in_host_window(box, host, &problem)) {
        return not_a_window(problem);
    }
    // The still at its own size in device pixels, on a dense screen too.
    box.set_pixels_per_unit(box.devicePixelRatioF());

    HostWindowWatch watch(
        host, [&box](QSize size) { cover_host_window(box, size); }, [&end_with] { end_with(0); },
        found->size);
    watch.also_watch(static_cast<std::uint32_t>(box.winId()));
    box.show();

    QTimer tick;
    tick.setInterval(kPreviewTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&active, &end_with] {
        if (!active) {
            end_with(0);
        }
    });
    tick.start();
    if (!ending) {
        loop.exec();
    }
    return ending.value_or(0);
}

}  // namespace wm
