#include "assets/kit/ridges.h"

#include <algorithm>

namespace wm::media {

double line_height(const std::vector<QPointF>& line, double x) {
    if (line.empty()) {
        return 0.0;
    }
    if (x <= line.front().x()) {
        return line.front().y();
    }
    if (x >= line.back().x()) {
        return line.back().y();
    }
    const auto after = std::lower_bound(line.begin(), line.end(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    const QPointF b = *after;
    const QPointF a = *(after - 1);
    const double span = b.x() - a.x();
    return span <= 0.0 ? b.y() : a.y() + (b.y() - a.y()) * (x - a.x()) / span;
}

std::size_t saddle_between(const std::vector<QPointF>& line, std::size_t a, std::size_t b) {
    const std::size_t lo = std::min(a, b);
    const std::size_t hi = std::max(a, b);
    std::size_t saddle = lo;
    for (std::size_t i = lo; i <= hi; ++i) {
        if (line[i].y() > line[saddle].y()) {
            saddle = i;
        }
    }
    return saddle;
}

void open_valley(std::vector<QPointF>& line, double middle, double half_width, double lift) {
    if (!(half_width > 0.0)) {
        return;
    }
    for (QPointF& p : line) {
        const double off_centre = (p.x() - middle) / half_width;
        p.ry() -= lift * off_centre * off_centre;
    }
}

}  // namespace wm::media
