#pragma once
// The scene change's picture work: load the next picture, fit it to the
// stage, caption it, and reveal it on the visible stage through one of the
// twenty effects, paced by the engine's host.
//
// One Transitions object serves a whole saver run. It holds the two things
// the run shares with the effects: the abort flag, which input raises to cut
// a running effect short, and the dissolve's block order, shuffled once.

#include "imaging/caption_painter.h"
#include "imaging/effect_plan.h"
#include "imaging/raster_op.h"

#include <QSet>
#include <QSize>
#include <QString>

#include <optional>

namespace wm {

class EngineHost;
class PictureBox;

// Effect numbers besides the effects 1 .. 20.
inline constexpr int kRandomEffect = -2;  // one of 1 .. 20 at random
inline constexpr int kComposeOnly = -1;   // compose the scene, leave the screen
inline constexpr int kNoEffect = 0;       // the new scene appears at once

// The most yields one transition wait makes, whatever its length.
inline constexpr int kMaxWaitYields = 5001;

// What became of a scene change.
enum class SceneOutcome {
    kShown,          // the new picture is the scene (or was composed, for kComposeOnly)
    kPictureSkipped  // the picture could not be loaded or has no size: the scene stays
};

// One rectangle copy between boxes; every real is rounded half to even to a
// pixel (values beyond the int range are held at its ends).
void blit_boxes(PictureBox& dest, double x, double y, double width, double height,
                const PictureBox& source, double sx, double sy, RasterOp rop);

class Transitions {
  public:
    explicit Transitions(EngineHost& host);

    // Raised by input handlers while an effect runs; every wait ends as soon
    // as it is seen, and transition_to_picture lowers it when it ends.
    bool abort_transition() const { return abort_; }
    void set_abort_transition(bool on) { abort_ = on; }

    // Shuffles the block order of the dissolve: four passes of 1600 swaps,
    // each with a block drawn from the run's generator.
    void shuffle_dissolve_order();
    const DissolveOrder& dissolve_order() const { return order_; }

    // Waits `ms` milliseconds on the host, handling events: returns at once
    // for ms <= 0 or while the abort flag is up, as soon as it goes up, and
    // after at most kMaxWaitYields yields.
    void transition_wait(int ms);

    // Performs a plan: its copies from `source` to `dest` with a wait after
    // each step; an abort seen after a wait ends the pass that runs.
    void play_effect(const EffectPlan& plan, const PictureBox& source, PictureBox& dest);

    // The scene change: loads `file` into `work` through load_picture_data
    // (JPEG by the name's last three letters, any case, or by its bytes;
    // other pictures through the image reader; as stored, decoded no larger
    // than the stage needs; an empty name keeps work's picture, which a file
    // that can be read lets go before it is decoded), composes
    // `main` at the stage's size (ascreen's) with the picture fitted
    // (`stretch` as fit_picture takes it) and the caption, then runs
    // `effect` on `ascreen` and paints the whole new frame there. All three
    // boxes must count in pixels.
    //
    // A picture that cannot be loaded (not a regular file, unreadable,
    // claiming a size beyond the surface limits ...), has no size, or is too
    // large for a picture box is skipped: `main` and `ascreen` keep the
    // scene. No message is shown: the reason is logged on standard error,
    // once per file (its path and content) in the run.
    SceneOutcome transition_to_picture(const QString& file, PictureBox& work, PictureBox& ascreen,
                                       PictureBox& main, int effect, double stretch,
                                       const std::optional<CaptionStyle>& caption);

    // The effect the last transition ran (1 .. 20), or 0 when none ran.
    int last_effect() const { return last_effect_; }

  private:
    bool load_picture(const QString& file, PictureBox& work, const QSize& stage);
    int pick_effect(int effect) const;

    EngineHost& host_;
    bool abort_ = false;
    DissolveOrder order_;
    QSet<QString> reported_files_;
    int last_effect_ = 0;
};

}  // namespace wm
