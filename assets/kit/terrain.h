#pragma once
// Landscape helpers shared by the mountain, lake, forest and sky pictures:
// shaded mountain ranges with snow, rock and glaciers; the moon and a low sun
// in their halos; aurora curtains; cracked lake ice; sculpted snow drifts and
// the long shadows cast on them; snow-laden spruces and distant treelines;
// banks of valley mist. Lengths are in pixels of the picture being painted;
// callers scale them with the picture (`unit` is one 1080th of its height).

#include "assets/kit/media_random.h"

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wm::media {

// The height (y) of a left-to-right polyline at `x`, interpolated between its
// points and held level beyond its ends; 0 for an empty line.
double line_height(const std::vector<QPointF>& line, double x);

// Bends a left-to-right line into a valley around x = `middle`: each point
// rises by `lift` times the square of its distance from the middle measured
// in `half_width`s.
void open_valley(std::vector<QPointF>& line, double middle, double half_width, double lift);

// ---- Mountains ------------------------------------------------------------

// One summit: where it stands and how steeply its flanks fall to the left and
// to the right (pixels down per pixel across, near the top).
struct PeakSpec {
    double x = 0.0;
    double top = 0.0;
    double fall_left = 1.0;
    double fall_right = 1.0;
};

// The outline of a range: its summits rise from the foot line at y = `foot`
// with concave flanks; `crag` is the roughness of the ridge at the summits.
struct RangeShape {
    double left = 0.0;
    double right = 0.0;
    double foot = 0.0;
    double bottom = 0.0;  // the range is painted down to here
    double crag = 0.0;
    std::vector<PeakSpec> peaks;
};

// A range built once, so it can be painted again (as a reflection, say).
struct MountainRange {
    std::vector<QPointF> ridge;        // left to right, never below the foot
    std::vector<std::size_t> summits;  // ridge indices of the visible summits, in order
    double foot = 0.0;
    double bottom = 0.0;
    std::uint64_t seed = 0;  // the details painted on it
};

MountainRange make_range(MediaRandom& rng, const RangeShape& shape);

// How a range is lit and how far away it stands.
struct RangeLook {
    QColor snow;              // lit snow
    QColor rock;              // lit rock
    QColor shade;             // multiplied into the faces turned away from the light
    QColor rim;               // light caught along the lit ridges
    QColor haze;              // the air between the range and the viewer
    double haze_top = 0.0;    // haze opacity at the summits ...
    double haze_foot = 0.0;   // ... and at the foot
    double snow_cover = 0.6;  // share of the way from ridge to foot under snow; 1 covers all
    double detail = 1.0;      // 0 for a plain far range .. 1 for rock ribs, gullies, crevasses
    double unit = 1.0;
    bool light_from_left = true;
    bool glaciers = false;  // blue ice with crevasses in the deep valleys between summits
};

void paint_range(QPainter& painter, const MountainRange& range, const RangeLook& look);

// ---- Sky ------------------------------------------------------------------

// The moon: a softly shaded disc with grey-blue seas inside a layered halo.
void paint_moon(QPainter& painter, MediaRandom& rng, QPointF centre, double radius,
                const QColor& face, const QColor& halo);

// A low sun: a bright disc inside a wide warm glow.
void paint_sun(QPainter& painter, QPointF centre, double radius, const QColor& core,
               const QColor& glow);

// A curtain of aurora hanging from the sky above a swaying lower edge.
struct AuroraLook {
    double left = 0.0;
    double right = 0.0;
    double base = 0.0;    // mean y of the lower edge
    double sway = 0.0;    // how far the lower edge swings up and down
    double rise = 0.0;    // how much lower (+) the edge is at the right end than the left
    double height = 0.0;  // typical height of the rays
    QColor low;           // the bright lower edge
    QColor high;          // the fading tops of the rays
    double strength = 1.0;
    int folds = 2;  // how often the curtain folds back on itself
};

// Added light: paint it over the sky before anything stands in front of it.
void paint_aurora(QPainter& painter, MediaRandom& rng, const AuroraLook& look);

// A long flat cloud centred on `centre`: rounded puffs on a flat base,
// shaded from `body` at the top to `underside` along the base.
void paint_cloud(QPainter& painter, MediaRandom& rng, QPointF centre, double length,
                 double thickness, const QColor& body, const QColor& underside);

// Soft horizontal banks of mist within `band`.
void paint_mist(QPainter& painter, MediaRandom& rng, const QRectF& band, const QColor& colour,
                double strength);

// ---- Ice and snow ---------------------------------------------------------

// Cracks in lake ice seen in perspective: the far shore is the top of `ice`,
// so cracks there are short and flat. Each crack is a dark line with a light
// edge below it.
void paint_ice_cracks(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count,
                      double unit, const QColor& dark, const QColor& light);

// Patches of snow lying on lake ice, flattened by perspective like the
// cracks: a soft-edged white shape with a faint shade along its near edge.
void paint_ice_snow(QPainter& painter, MediaRandom& rng, const QRectF& ice, int count, double unit,
                    const QColor& snow, const QColor& shade);

// The crest of a bank of drifted snow, sampled every `step` whole pixels.
struct DriftShape {
    double left = 0.0;
    double right = 0.0;
    double crest = 0.0;  // mean y of the crest
    double swell = 0.0;  // how far the crest rises and falls
    double waves = 2.0;  // swells across the width
    int step = 3;
};
std::vector<QPointF> drift_crest(MediaRandom& rng, const DriftShape& shape);

struct DriftLook {
    QColor lit;              // the crest where it faces the light
    QColor body;             // the snow a little below the crest
    QColor shadow;           // deep in the bank, and crests facing away
    QColor rim;              // the bright line along crests facing the light
    double depth = 100.0;    // how far below its crest the snow reaches `shadow`
    double rim_width = 2.0;  // in units
    double unit = 1.0;
    bool light_from_left = true;
};

// A bank of snow under `crest` down to `bottom`, shaded from its own crest
// down, so every swell keeps its lit top and blue hollow.
void paint_drift(QPainter& painter, const std::vector<QPointF>& crest, double bottom,
                 const DriftLook& look);

// A rounded hummock of snow over a buried rock or shrub, `width` wide and
// `height` tall, sitting on `base` (the middle of its foot), shaded like a
// drift with a soft shadow on the side away from the light.
void paint_snow_mound(QPainter& painter, MediaRandom& rng, QPointF base, double width,
                      double height, const DriftLook& look);

// Sparkles where the low sun catches snow crystals in `region`, larger
// toward its bottom (nearer to us).
void paint_glints(QPainter& painter, MediaRandom& rng, const QRectF& region, int count, double unit,
                  const QColor& colour);

// Dry grass or reeds poking through the snow at `foot`: a fan of thin curved
// blades up to `height` tall, some with a seed head, each with its shadow
// lying along `shadow_reach` (scaled to the blade).
void paint_grass_tuft(QPainter& painter, MediaRandom& rng, QPointF foot, double height,
                      const QColor& stalk, QPointF shadow_reach, const QColor& shade);

// The long shadow of something standing at `foot`, reaching to foot + reach,
// `width` wide at the foot and narrowing to `tip_width`, fading as it goes.
void paint_cast_shadow(QPainter& painter, QPointF foot, QPointF reach, double width,
                       double tip_width, const QColor& shade);

// ---- Trees ----------------------------------------------------------------

struct SpruceLook {
    QColor needles;          // branches in shade
    QColor needles_lit;      // branches toward the light
    QColor snow;             // lit snow
    QColor snow_shade;       // snow in shade and under the lumps
    double snow_load = 1.0;  // 0..1.5: how thick the snow lies
    bool light_from_left = true;
};

// A spruce standing on `base`, `height` tall, its drooping tiers carrying
// pillows of snow.
void paint_spruce(QPainter& painter, MediaRandom& rng, QPointF base, double height,
                  const SpruceLook& look);

struct TreelineLook {
    QColor trees;
    QColor snow;
    double snow_cover = 0.5;  // 0..1: how much of each tier's top is white
    bool light_from_left = true;
};

// Distant conifers along `ground` (left to right), about `height` tall and
// `spacing` apart, merged with the ground under them down to `bottom`.
void paint_treeline(QPainter& painter, MediaRandom& rng, const std::vector<QPointF>& ground,
                    double bottom, double height, double spacing, const TreelineLook& look);

}  // namespace wm::media
