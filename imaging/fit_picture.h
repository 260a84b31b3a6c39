#pragma once
// Where a picture goes in an area: scaled with its aspect ratio and centred.

#include <optional>

namespace wm {

struct FitResult {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;

    friend bool operator==(const FitResult&, const FitResult&) = default;
};

// Places a picture of pw x ph in the area (left, top, aw, ah), all reals,
// nothing rounded. The picture is scaled when `stretch` is not 0 or when it
// is not smaller than the area in both directions; it then takes the largest
// size with its own aspect ratio that fits `percent` % of the area both ways.
// Otherwise it keeps its size. Either way it is centred, never starting left
// of or above 0. No result for a picture without a usable size (a side <= 0
// or not a number), which cannot be placed.
std::optional<FitResult> fit_picture(double left, double top, double aw, double ah, double pw,
                                     double ph, double percent, double stretch);

}  // namespace wm
