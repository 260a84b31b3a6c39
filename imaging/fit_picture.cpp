#include "imaging/fit_picture.h"

#include <cmath>

namespace wm {

std::optional<FitResult> fit_picture(double left, double top, double aw, double ah, double pw,
                                     double ph, double percent, double stretch) {
    if (!(pw > 0.0) || !(ph > 0.0) || !std::isfinite(pw) || !std::isfinite(ph)) {
        return std::nullopt;
    }
    double w = pw;
    double h = ph;
    if (stretch != 0.0 || pw >= aw || ph >= ah) {
        const double aspect = pw / ph;
        const double k = percent / 100.0;
        // Start from the picture's long side filling the area, then shrink
        // to fit the other side too: a tall picture on a narrow area, or a
        // wide one on a tall area, stays whole.
        if (pw >= ph) {
            w = k * aw;
            h = w / aspect;
            if (h > k * ah) {
                h = k * ah;
                w = h * aspect;
            }
        } else {
            h = k * ah;
            w = h * aspect;
            if (w > k * aw) {
                w = k * aw;
                h = w / aspect;
            }
        }
    }
    double x = left + (aw - w) / 2.0;
    double y = top + (ah - h) / 2.0;
    if (x < 0.0) {
        x = 0.0;
    }
    if (y < 0.0) {
        y = 0.0;
    }
    return FitResult{x, y, w, h};
}

}  // namespace wm
