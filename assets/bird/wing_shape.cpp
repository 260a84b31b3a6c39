#include "assets/bird/wing_shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace wm::media {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The camera turns a little toward the bird's front and looks up a little.
constexpr double kYaw = 30.0 * kDegree;
constexpr double kPitch = 6.0 * kDegree;

// Wing measures in drawing units; space is x forward, y up, z toward the
// viewer, from the body's centre.
constexpr double kShoulderX = 4.0;
constexpr double kShoulderY = 7.0;
constexpr double kShoulderZ = 8.0;
constexpr double kArmLength = 23.0;
constexpr double kWristForward = 2.0;
constexpr double kBaseSweep = 9.0 * kDegree;
// The far wing sweeps back further as it passes level, so that seen from in
// front of the bird it stays behind the breast instead of poking out before it.
constexpr double kFarSweep = 24.0 * kDegree;

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator*(double k, Vec3 v) {
    return {k * v.x, k * v.y, k * v.z};
}

// `v` turned about the body's long axis by `angle`, z toward y.
Vec3 raised(Vec3 v, double angle) {
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    return {v.x, v.y * c + v.z * s, -v.y * s + v.z * c};
}

// How far a surface with this normal turns toward the viewer.
double facing_of(Vec3 normal) {
    const double z1 = normal.x * std::sin(kYaw) + normal.z * std::cos(kYaw);
    return -normal.y * std::sin(kPitch) + z1 * std::cos(kPitch);
}

// A flight feather in its wing part's plane: root (s outward, c forward),
// direction in degrees back from the outward line, length and width.
struct Feather {
    double s, c, angle, length, width;
};

// Primaries from the outermost in, on the hand; their fan opens with `spread`.
constexpr std::array<Feather, 8> kPrimaries{{
    {11.5, 0.5, -3.0, 26.0, 5.6},
    {10.5, 0.0, 5.0, 31.0, 6.2},
    {9.2, -0.5, 13.0, 33.0, 6.6},
    {7.8, -1.0, 21.0, 33.0, 6.8},
    {6.2, -1.5, 29.0, 31.0, 7.0},
    {4.6, -2.0, 37.0, 29.0, 7.0},
    {2.8, -2.5, 45.0, 27.0, 7.0},
    {1.0, -3.0, 53.0, 25.0, 7.0},
}};
// Secondaries from the wrist in, on the arm (s as a share of the arm).
constexpr std::array<Feather, 7> kSecondaries{{
    {0.96, -1.0, 62.0, 21.0, 7.0},
    {0.82, -1.0, 70.0, 20.5, 7.0},
    {0.68, -1.0, 77.0, 20.0, 7.0},
    {0.54, -1.0, 83.0, 19.5, 7.0},
    {0.40, -1.0, 88.0, 19.0, 7.0},
    {0.26, -1.0, 93.0, 18.0, 7.0},
    {0.12, -1.0, 99.0, 16.0, 7.0},
}};

// The posed wing: maps points of the arm's and the hand's surfaces into space.
class PosedWing {
  public:
    PosedWing(const FlapPose& pose, WingSide side)
        : mirror_(side == WingSide::Far ? -1.0 : 1.0),
          arm_length_(kArmLength * (1.0 - 0.22 * pose.fold)),
          hand_sweep_((4.0 + 34.0 * pose.fold) * kDegree),
          bend_(pose.hand_bend),
          fan_(0.72 + 0.38 * pose.spread) {
        // Outward, forward and upper-surface directions of the arm: swept back
        // a little, twisted about its length, then raised by the flap about
        // the body's long axis.
        const double sweep =
            kBaseSweep + (side == WingSide::Far ? kFarSweep * std::cos(pose.flap) : 0.0);
        const double sw = std::sin(sweep);
        const double cw = std::cos(sweep);
        const double st = std::sin(pose.twist);
        const double ct = std::cos(pose.twist);
        const Vec3 forward{cw, 0.0, sw};
        const Vec3 up{0.0, 1.0, 0.0};
        out_ = raised(Vec3{-sw, 0.0, cw}, pose.flap);
        forward_ = raised(ct * forward + (-st) * up, pose.flap);
        up_ = raised(ct * up + st * forward, pose.flap);
        hand_up_ = std::cos(bend_) * up_ + (-std::sin(bend_)) * out_;
    }

    double arm_length() const { return arm_length_; }
    double fan() const { return fan_; }

    // A point of the arm's surface.
    Vec3 arm(double s, double c) const {
        return mirrored(Vec3{kShoulderX, kShoulderY, kShoulderZ} + s * out_ + c * forward_ +
                        camber(c, kArmCamber) * up_);
    }
    // A point of the hand's surface, from the wrist.
    Vec3 hand(double s, double c) const {
        const double along = s * std::cos(hand_sweep_) + c * std::sin(hand_sweep_);
        const double across = -s * std::sin(hand_sweep_) + c * std::cos(hand_sweep_);
        const Vec3 wrist = Vec3{kShoulderX, kShoulderY, kShoulderZ} + arm_length_ * out_ +
                           kWristForward * forward_;
        return mirrored(wrist + (along * std::cos(bend_)) * out_ + across * forward_ +
                        (along * std::sin(bend_)) * up_ + camber(across, kHandCamber) * hand_up_);
    }
    double arm_facing() const { return facing_of(mirrored(up_)); }
    double hand_facing() const { return facing_of(mirrored(hand_up_)); }

  private:
    // The wing arches over its chord like a sail: highest a third of the way
    // back from the leading edge, so it never looks quite flat edge-on.
    struct Camber {
        double leading, chord, height;
    };
    static constexpr Camber kArmCamber{5.5, 27.0, 3.0};
    static constexpr Camber kHandCamber{2.0, 32.0, 2.5};
    static double camber(double c, const Camber& arch) {
        const double t = std::clamp((arch.leading - c) / arch.chord, 0.0, 1.0);
        return arch.height * 6.75 * t * (1.0 - t) * (1.0 - t);
    }

    Vec3 mirrored(Vec3 v) const { return {v.x, v.y, mirror_ * v.z}; }

    double mirror_;
    double arm_length_;
    double hand_sweep_;
    double bend_;
    double fan_;
    Vec3 out_, forward_, up_, hand_up_;
};

// The camera's view of a point.
QPointF seen(Vec3 v) {
    const double x1 = v.x * std::cos(kYaw) - v.z * std::sin(kYaw);
    const double z1 = v.x * std::sin(kYaw) + v.z * std::cos(kYaw);
    return {x1, -(v.y * std::cos(kPitch) + z1 * std::sin(kPitch))};
}

// Outline of a feather in its plane, mapped through `place`: a narrow outer
// vane, a broader inner one and a rounded tip.
template <typename Place>
FeatherOutline feather_outline(const Feather& f, double angle, Place place, double facing) {
    const double dx = std::cos(angle * kDegree);
    const double dy = -std::sin(angle * kDegree);
    // Toward the leading side.
    const double px = -dy;
    const double py = dx;
    constexpr int kSteps = 9;
    const auto half_width = [&](double t) {
        const double body = std::min(1.0, 0.5 + t * 1.8);
        const double tip =
            t > 0.72 ? std::sqrt(std::max(0.0, 1.0 - std::pow((t - 0.72) / 0.28, 2))) : 1.0;
        return f.width * 0.5 * body * tip;
    };
    const auto at = [&](double t, double offset) {
        return seen(
            place(f.s + dx * f.length * t + px * offset, f.c + dy * f.length * t + py * offset));
    };
    FeatherOutline out;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        out.outline << at(t, 0.7 * half_width(t));
    }
    for (int i = kSteps; i >= 0; --i) {
        const double t = static_cast<double>(i) / kSteps;
        out.outline << at(t, -1.3 * half_width(t));
    }
    out.root = at(0.0, 0.0);
    out.tip = at(0.97, 0.0);
    out.facing = facing;
    return out;
}

// A row of covert feathers over the bases of the flight feathers: how far it
// reaches back on the arm and out along the hand, with a scalloped edge.
struct CovertRow {
    double arm_depth, hand_reach, hand_depth;
    int scallops;
};
constexpr CovertRow kGreaterCoverts{11.0, 14.0, 6.5, 6};
constexpr CovertRow kLesserCoverts{5.0, 7.0, 3.5, 4};

FeatherOutline covert_patch(const PosedWing& wing, const CovertRow& row) {
    const double arm = wing.arm_length();
    FeatherOutline patch;
    QPolygonF& edge = patch.outline;
    edge << seen(wing.arm(-3.0, 3.0)) << seen(wing.arm(0.0, 5.5)) << seen(wing.arm(arm * 0.5, 5.0))
         << seen(wing.arm(arm, 3.5)) << seen(wing.hand(row.hand_reach * 0.45, 1.6))
         << seen(wing.hand(row.hand_reach, 0.2))
         << seen(wing.hand(row.hand_reach + 0.5, -row.hand_depth * 0.45))
         << seen(wing.hand(row.hand_reach * 0.6, -row.hand_depth))
         << seen(wing.hand(row.hand_reach * 0.2, -row.hand_depth - 1.0));
    // The scallops along the arm: feather tips and the notches between them.
    for (int k = 0; k <= 2 * row.scallops; ++k) {
        const double s = arm * (1.0 - static_cast<double>(k) / (2 * row.scallops));
        const double c = k % 2 == 0 ? -row.arm_depth + 1.6 : -row.arm_depth;
        edge << seen(wing.arm(s, c));
    }
    edge << seen(wing.arm(-3.0, -row.arm_depth * 0.5));
    patch.root = seen(wing.arm(0.0, 4.0));
    patch.tip = seen(wing.arm(0.0, -row.arm_depth));
    patch.facing = wing.arm_facing();
    return patch;
}

}  // namespace

WingOutline wing_outline(const FlapPose& pose, WingSide side) {
    const PosedWing wing(pose, side);
    const auto on_hand = [&wing](double s, double c) { return wing.hand(s, c); };
    const auto on_arm = [&wing](double s, double c) { return wing.arm(s, c); };

    WingOutline result;
    std::vector<FeatherOutline> primaries;
    for (const Feather& f : kPrimaries) {
        // The fan opens about the middle primary.
        const double angle = 25.0 + (f.angle - 25.0) * wing.fan();
        primaries.push_back(feather_outline(f, angle, on_hand, wing.hand_facing()));
        primaries.back().primary = true;
    }
    std::vector<FeatherOutline> secondaries;
    for (Feather f : kSecondaries) {
        f.s *= wing.arm_length();
        secondaries.push_back(feather_outline(f, f.angle, on_arm, wing.arm_facing()));
    }
    // Seen from above, each feather lies over the one outside it.
    result.feathers = primaries;
    result.feathers.insert(result.feathers.end(), secondaries.begin(), secondaries.end());
    if (wing.arm_facing() < 0.0) {
        std::reverse(result.feathers.begin(), result.feathers.end());
    }

    result.coverts = {covert_patch(wing, kGreaterCoverts), covert_patch(wing, kLesserCoverts)};
    return result;
}

}  // namespace wm::media
