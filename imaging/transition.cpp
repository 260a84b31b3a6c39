#include "imaging/transition.h"

#include "imaging/fit_picture.h"
#include "imaging/picture_box.h"
#include "imaging/picture_file.h"
#include "platform/engine_host.h"
#include "platform/regular_file.h"
#include "platform/rounding.h"
#include "platform/run_random.h"

#include <QCryptographicHash>
#include <QtGlobal>

#include <utility>

namespace wm {
namespace {

// Which picture a log line is about: its path and what it holds (its bytes,
// or why it could not be read). The saver extracts every pack picture to the
// same temporary name, so the name alone would not tell two broken pictures
// apart.
QString picture_identity(const QString& file, const QByteArray& content) {
    return file + QLatin1Char('\n') +
           QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex());
}

}  // namespace

void blit_boxes(PictureBox& dest, double x, double y, double width, double height,
                const PictureBox& source, double sx, double sy, RasterOp rop) {
    box_blt(dest, round_to_int(x), round_to_int(y), round_to_int(width), round_to_int(height),
            source, round_to_int(sx), round_to_int(sy), rop);
}

Transitions::Transitions(EngineHost& host) : host_(host), order_(identity_dissolve_order()) {}

void Transitions::shuffle_dissolve_order() {
    order_ = identity_dissolve_order();
    for (int pass = 0; pass < 4; ++pass) {
        for (int i = 1; i <= kDissolveBlocks; ++i) {
            const int j = random_position(kDissolveBlocks);
            std::swap(order_[static_cast<std::size_t>(i)], order_[static_cast<std::size_t>(j)]);
        }
    }
}

void Transitions::transition_wait(int ms) {
    if (ms <= 0) {
        return;
    }
    const std::uint32_t end = host_.tick_count() + static_cast<std::uint32_t>(ms);
    int yields = 0;
    // An abort already raised ends the wait before it yields: input that
    // arrived during the previous step needs no further sleep to be seen.
    while (!abort_ && tick_before(host_.tick_count(), end)) {
        host_.yield_until(end);
        if (++yields >= kMaxWaitYields) {
            break;
        }
    }
}

void Transitions::play_effect(const EffectPlan& plan, const PictureBox& source, PictureBox& dest) {
    for (const EffectPass& pass : plan) {
        for (const EffectStep& step : pass) {
            for (const EffectCopy& c : step.copies) {
                blit_boxes(dest, c.x, c.y, c.width, c.height, source, c.src_x, c.src_y,
                           RasterOp::kSrcCopy);
            }
            transition_wait(step.wait_ms);
            if (abort_) {
                break;
            }
        }
    }
}

bool Transitions::load_picture(const QString& file, PictureBox& work, const QSize& stage) {
    QString problem;
    const std::optional<QByteArray> bytes = read_regular_file(file, kMaxPictureFileBytes, &problem);
    // Pictures show as stored, whatever orientation tag a photograph carries.
    PictureFileOptions options;
    options.fit_into = stage;
    // The picture work holds goes before the next is decoded, so that the
    // two are never held at once.
    if (bytes) {
        work.empty();
    }
    const std::optional<QImage> picture =
        bytes ? load_picture_data(*bytes, file, options, &problem) : std::nullopt;
    if (picture) {
        // The box takes the picture's size, so the fit keeps its aspect ratio.
        work.load_picture(*picture);
        if (work.pixel_size() == picture->size()) {
            return true;
        }
        problem = QStringLiteral("the picture is too large for a picture box");
    }
    // A running saver shows no message box: it would stop the scenes, and the
    // key meant to end the saver would answer it. Each broken picture is
    // logged once a run; after that it is only skipped.
    const QString identity = picture_identity(file, bytes ? *bytes : problem.toUtf8());
    if (!reported_files_.contains(identity)) {
        reported_files_.insert(identity);
        qWarning("Skipping picture %s: %s", qPrintable(file), qPrintable(problem));
    }
    return false;
}

int Transitions::pick_effect(int effect) const {
    if (effect == kRandomEffect) {
        return random_position(kEffectCount);
    }
    return effect >= 1 && effect <= kEffectCount ? effect : kNoEffect;
}

SceneOutcome Transitions::transition_to_picture(const QString& file, PictureBox& work,
                                                PictureBox& ascreen, PictureBox& main, int effect,
                                                double stretch,
                                                const std::optional<CaptionStyle>& caption) {
    last_effect_ = 0;
    const bool loaded = file.isEmpty() || load_picture(file, work, ascreen.pixel_size());
    const std::optional<FitResult> fit =
        loaded ? fit_picture(0.0, 0.0, ascreen.pixel_width(), ascreen.pixel_height(),
                             work.pixel_width(), work.pixel_height(), 100.0, stretch)
               : std::nullopt;
    if (!fit || work.Picture().isNull()) {
        abort_ = false;
        return SceneOutcome::kPictureSkipped;
    }

    main.set_picture(QImage());
    main.set_pixel_size(ascreen.pixel_width(), ascreen.pixel_height());
    main.Cls();
    main.PaintPicture(work.Picture(), fit->left, fit->top, fit->width, fit->height);
    if (caption) {
        paint_caption(main, *caption);
    }

    if (!abort_) {
        if (effect == kComposeOnly) {
            host_.yield_once();
            abort_ = false;
            return SceneOutcome::kShown;
        }
        last_effect_ = pick_effect(effect);
        if (last_effect_ != kNoEffect) {
            play_effect(effect_plan(last_effect_, ascreen.pixel_size(), order_), main, ascreen);
        }
    }
    box_blt(ascreen, 0, 0, main.pixel_width(), main.pixel_height(), main, 0, 0, RasterOp::kSrcCopy);
    for (int i = 0; i < 4; ++i) {
        host_.yield_once();
    }
    abort_ = false;
    return SceneOutcome::kShown;
}

}  // namespace wm
