#include "assets/kit/ground_line.h"

#include <algorithm>

namespace wm::media {

double ground_height_at(const std::vector<QPointF>& ground, double x) {
    if (ground.empty()) {
        return 0.0;
    }
    for (std::size_t i = 1; i < ground.size(); ++i) {
        if (x <= ground[i].x() || i + 1 == ground.size()) {
            const double span = ground[i].x() - ground[i - 1].x();
            const double t =
                span != 0.0 ? std::clamp((x - ground[i - 1].x()) / span, 0.0, 1.0) : 0.0;
            return ground[i - 1].y() + (ground[i].y() - ground[i - 1].y()) * t;
        }
    }
    return ground.back().y();
}

}  // namespace wm::media
