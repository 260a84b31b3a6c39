// The effect numbers: which family member each one is, and its name.

#include "imaging/effect_families.h"
#include "imaging/effect_plan.h"

#include <array>
#include <numeric>

namespace wm {
namespace {

using effects::Axis;
using effects::Motion;
using effects::Overshoot;

constexpr std::array<const char*, kEffectCount> kNames = {
    "wipe_left_to_right",      "wipe_right_to_left",
    "wipe_top_to_bottom",      "wipe_bottom_to_top",
    "wipe_in_from_sides",      "wipe_in_from_top_and_bottom",
    "slide_in_from_top",       "slide_in_from_bottom",
    "slide_in_from_left",      "slide_in_from_right",
    "interlace_rows_down",     "interlace_rows_up",
    "interlace_columns_right", "interlace_columns_left",
    "dissolve_blocks",         "bands_slide_down",
    "bands_slide_up",          "bands_slide_right",
    "bands_slide_left",        "box_out",
};

bool known(int number) {
    return number >= 1 && number <= kEffectCount;
}

EffectPlan member_plan(int number, QSize stage, const DissolveOrder& order) {
    switch (number) {
        case 1:
            return effects::strip_wipe(Axis::kX, Motion::kTowardEnd, stage);
        case 2:
            return effects::strip_wipe(Axis::kX, Motion::kTowardStart, stage);
        case 3:
            return effects::strip_wipe(Axis::kY, Motion::kTowardEnd, stage);
        case 4:
            return effects::strip_wipe(Axis::kY, Motion::kTowardStart, stage);
        case 5:
            return effects::strip_wipe_from_both_ends(Axis::kX, stage);
        case 6:
            return effects::strip_wipe_from_both_ends(Axis::kY, stage);
        case 7:
            return effects::slide(Axis::kY, Motion::kTowardEnd, Overshoot::kClipped, stage);
        case 8:
            return effects::slide(Axis::kY, Motion::kTowardStart, Overshoot::kClipped, stage);
        case 9:
            return effects::slide(Axis::kX, Motion::kTowardEnd, Overshoot::kCapped, stage);
        case 10:
            return effects::slide(Axis::kX, Motion::kTowardStart, Overshoot::kClipped, stage);
        case 11:
            return effects::interlaced(Axis::kY, Motion::kTowardEnd, stage);
        case 12:
            return effects::interlaced(Axis::kY, Motion::kTowardStart, stage);
        case 13:
            return effects::interlaced(Axis::kX, Motion::kTowardEnd, stage);
        case 14:
            return effects::interlaced(Axis::kX, Motion::kTowardStart, stage);
        case 15:
            return effects::dissolve(stage, order);
        case 16:
            return effects::banded_slide(Axis::kY, Motion::kTowardEnd, stage);
        case 17:
            return effects::banded_slide(Axis::kY, Motion::kTowardStart, stage);
        case 18:
            return effects::banded_slide(Axis::kX, Motion::kTowardEnd, stage);
        case 19:
            return effects::banded_slide(Axis::kX, Motion::kTowardStart, stage);
        case 20:
            return effects::box_out(stage);
        default:
            return {};
    }
}

}  // namespace

DissolveOrder identity_dissolve_order() {
    DissolveOrder order{};
    std::iota(order.begin() + 1, order.end(), 1);
    return order;
}

EffectPlan effect_plan(int number, QSize stage, const DissolveOrder& order) {
    if (!known(number) || stage.width() <= 0 || stage.height() <= 0) {
        return {};
    }
    return member_plan(number, stage, order);
}

const char* effect_name(int number) {
    return known(number) ? kNames[static_cast<std::size_t>(number - 1)] : "";
}

}  // namespace wm
