#pragma once
// The product's name as the window pictures and the title card letter it:
// "Wintermere" in bold italic serif letters of frosty blue, snow lying on
// the tops of the letters, a snowflake for the dot of the i, a dark outline
// and a soft glow so it reads over a night sky.

#include <QPainter>
#include <QPointF>
#include <QString>

namespace wm::media {

// The lettering's font families, from the Debian package fonts-liberation.
// Another font standing in for one would change the pictures' bytes, so the
// generator refuses to run without them: this names the first family that
// the system would replace, or is empty when all are installed.
QString missing_lettering_font();

// Letters `pixel_size` pixels in font size, the baseline's middle at
// `baseline_centre`, both in the painter's coordinates (its transform may
// move and scale them, not turn them); the letters themselves are laid on
// whole device pixels.
void paint_wordmark(QPainter& painter, QPointF baseline_centre, double pixel_size);

// A line of small italic lettering in the same family, centred on
// `baseline_centre`, with a soft dark halo so it reads over sky or snow.
void paint_tagline(QPainter& painter, QPointF baseline_centre, double pixel_size,
                   const QString& text);

}  // namespace wm::media
