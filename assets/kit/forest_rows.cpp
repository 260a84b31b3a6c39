#include "assets/kit/forest_rows.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/ridges.h"
#include "assets/kit/spruces.h"
#include "assets/kit/weather.h"

#include <QPointF>
#include <QRectF>

#include <vector>

namespace wm::media {

void paint_forest_rows(QPainter& painter, MediaRandom& rng, QSizeF picture, double unit,
                       std::span<const ForestRow> rows, const ForestRowsLook& look) {
    const double w = picture.width();
    const double h = picture.height();
    for (const ForestRow& row : rows) {
        std::vector<QPointF> ridge =
            ridge_line(rng, 0, w, h * row.y, look.roughness * unit, 0.5, 6);
        open_valley(ridge, w * 0.5, w * 0.5, h * row.lift);
        paint_treeline(painter, rng, ridge, h, row.tree * unit, row.tree * look.spacing * unit,
                       {row.trees, row.snow, look.snow_cover, look.light_from_left});
        paint_mist(painter, rng,
                   QRectF(-w * 0.1, h * (row.y - look.mist_above), w * 1.2, h * look.mist_depth),
                   look.mist, look.mist_strength);
    }
}

}  // namespace wm::media
