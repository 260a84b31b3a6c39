#include "assets/kit/tree_line.h"

#include "assets/kit/piece_basics.h"

#include <QPainterPath>

namespace wm::media {

using namespace piece;

void paint_tree_line(QPainter& painter, MediaRandom& caller, double left, double right, double base,
                     double height, const QColor& colour, const QColor& snow) {
    MediaRandom rng = caller.split();
    if (!(height > 0.0) || !usable(height) || !(right > left) || !usable(std::abs(left)) ||
        !usable(std::abs(right)) || !usable(std::abs(base))) {
        return;
    }
    QPainterPath trees;
    QPainterPath caps;
    double x = left - height * 0.2;
    int guard = 0;
    while (x < right + height * 0.2 && ++guard < 20000) {
        const double tall = height * rng.range(0.5, 1.0);
        const double half = tall * rng.range(0.17, 0.24);
        const double foot = base + height * rng.range(0.0, 0.12);
        const int tiers = 4;
        QPainterPath tree;
        tree.moveTo(x, foot - tall);
        for (int t = 1; t <= tiers; ++t) {
            const double f = static_cast<double>(t) / tiers;
            tree.lineTo(x + half * f, foot - tall + tall * f);
            if (t < tiers) {
                tree.lineTo(x + half * f * 0.55, foot - tall + tall * f * 0.92);
            }
        }
        for (int t = tiers; t >= 1; --t) {
            const double f = static_cast<double>(t) / tiers;
            if (t < tiers) {
                tree.lineTo(x - half * f * 0.55, foot - tall + tall * f * 0.92);
            }
            tree.lineTo(x - half * f, foot - tall + tall * f);
        }
        tree.closeSubpath();
        trees.addPath(tree);
        // Snow lying along the lower edge of each tier, heavier on the lit side.
        for (int t = 1; t <= tiers; ++t) {
            const double f = static_cast<double>(t) / tiers;
            const double y = foot - tall + tall * f;
            const double reach = half * f;
            const double lift = tall * 0.03;
            QPainterPath band;
            band.moveTo(x - reach, y);
            band.quadTo(x - reach * 0.3, y - tall * f * 0.1, x + reach * 0.55, y - tall * f * 0.05);
            band.lineTo(x + reach * 0.55, y - tall * f * 0.05 - lift * 0.4);
            band.quadTo(x - reach * 0.3, y - tall * f * 0.1 - lift, x - reach, y);
            band.closeSubpath();
            caps.addPath(band);
        }
        x += tall * rng.range(0.12, 0.32);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(trees);
    painter.setBrush(with_alpha(snow, 0.5));
    painter.drawPath(caps);
    painter.restore();
}

}  // namespace wm::media
