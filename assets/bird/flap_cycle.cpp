#include "assets/bird/flap_cycle.h"

#include <cmath>
#include <numbers>

namespace wm::media {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The wingtip's height over the shoulder, as a share of the wing's reach, at
// the top and the bottom of the stroke.
constexpr double kTop = 0.92;
constexpr double kBottom = -0.95;
// Strength of the time warp that lets the power stroke last longer: with
// 0.22 the downstroke takes about 57% of the cycle (below 1 keeps time
// running forward).
constexpr double kDownstrokeBias = 0.22;
constexpr double kHandLag = 14.0 * kDegree;
constexpr double kTwist = 28.0 * kDegree;
constexpr double kBodyRise = 2.6;

}  // namespace

FlapPose flap_pose(double phase) {
    const double turn = 2.0 * std::numbers::pi * (phase - std::floor(phase));
    // Warped time: psi runs 0..pi through the downstroke and pi..2 pi through
    // the upstroke; its rate stays positive, so the curve is smooth and monotone.
    const double psi = turn + kDownstrokeBias * (std::cos(turn) - 1.0);
    const double middle = (kTop + kBottom) / 2.0;
    const double swing = (kTop - kBottom) / 2.0;
    FlapPose pose;
    // The tip's height follows the cosine, so the wing sweeps evenly through
    // its arc as seen from the side and lingers only at the turns.
    pose.flap = std::asin(middle + swing * std::cos(psi));
    // The hand trails the arm: it lags upward while the wing beats down and
    // downward on the way up.
    pose.hand_bend = kHandLag * std::sin(psi);
    // The wing pitches its leading edge down to push on the downstroke and
    // up to slip through the air on the way back.
    pose.twist = kTwist * std::sin(psi);
    const double upstroke = (1.0 - std::sin(psi)) / 2.0;
    pose.fold = upstroke * upstroke;
    const double downstroke = (1.0 + std::sin(psi)) / 2.0;
    pose.spread = downstroke;
    // The downstroke lifts the body, the upstroke lets it sink: highest as
    // the wings reach the bottom, lowest as they reach the top.
    pose.lift = -kBodyRise * std::cos(psi);
    return pose;
}

}  // namespace wm::media
