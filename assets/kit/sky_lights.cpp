#include "assets/kit/sky_lights.h"

#include "assets/kit/paint_kit.h"
#include "assets/kit/piece_basics.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace wm::media {

void paint_moon(QPainter& painter, MediaRandom& rng, QPointF centre, double radius,
                const QColor& face, const QColor& halo) {
    if (!(radius > 0.0) || !piece::usable(radius) || !piece::usable(centre)) {
        return;
    }
    paint_glow(painter, centre, radius * 12.0, halo, 0.2);
    paint_glow(painter, centre, radius * 4.5, halo, 0.3);
    paint_glow(painter, centre, radius * 1.9, mix(halo, face, 0.5), 0.5);
    painter.save();
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.6);
    disc.setColorAt(0.0, mix(face, Qt::white, 0.4));
    disc.setColorAt(0.55, face);
    disc.setColorAt(1.0, mix(face, halo, 0.3));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);

    QPainterPath rim;
    rim.addEllipse(centre, radius, radius);
    painter.setClipPath(rim, Qt::IntersectClip);
    // Seas: soft grey-blue patches, mostly in the upper half.
    const QColor sea = mix(face, mix(halo, QColor(70, 80, 110), 0.6), 0.45);
    for (int i = 0; i < 9; ++i) {
        const QPointF at = centre + random_point(rng, -0.6, 0.55, -0.6, 0.35) * radius;
        const double size = rng.range(0.22, 0.45);
        const double depth = rng.range(0.35, 0.6);
        paint_glow(painter, at, radius * size, sea, depth);
    }
    // A few small craters: a dark bowl with a bright far rim.
    for (int i = 0; i < 6; ++i) {
        const QPointF at = centre + random_point(rng, -0.7, 0.7, -0.7, 0.7) * radius;
        const double r = radius * rng.range(0.04, 0.09);
        paint_glow(painter, at, r * 1.6, sea, 0.35);
        paint_glow(painter, at + QPointF(r * 0.3, r * 0.3), r, mix(face, Qt::white, 0.5), 0.3);
    }
    // The limb darkens a little.
    QRadialGradient limb(centre, radius);
    limb.setColorAt(0.7, with_alpha(halo, 0.0));
    limb.setColorAt(1.0, with_alpha(mix(halo, QColor(40, 50, 80), 0.4), 0.35));
    painter.setBrush(limb);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void paint_sun(QPainter& painter, QPointF centre, double radius, const QColor& core,
               const QColor& glow) {
    painter.save();
    // The glow brightens what lies behind it rather than covering it.
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    paint_glow(painter, centre, radius * 18.0, glow, 0.45);
    paint_glow(painter, centre, radius * 6.0, glow, 0.6);
    paint_glow(painter, centre, radius * 2.2, mix(glow, core, 0.5), 0.85);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(centre, radius);
    disc.setColorAt(0.0, mix(core, Qt::white, 0.8));
    disc.setColorAt(0.75, mix(core, Qt::white, 0.5));
    disc.setColorAt(0.95, core);
    disc.setColorAt(1.0, with_alpha(core, 0.6));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

}  // namespace wm::media
