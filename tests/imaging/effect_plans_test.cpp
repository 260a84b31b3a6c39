// The transition effects as plans: their figures on an 800 x 600 stage, their
// durations, the passes of the interlaced effects, and the frame they leave.

#include "imaging/blit_clip.h"
#include "imaging/effect_plan.h"
#include "platform/rounding.h"
#include "tests/imaging/effect_durations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

namespace wm {
namespace {

const QSize kStage(800, 600);

EffectPlan plan(int number, QSize stage = kStage) {
    return effect_plan(number, stage, identity_dissolve_order());
}

// All copies of a pass, in order.
std::vector<EffectCopy> copies_of(const EffectPass& pass) {
    std::vector<EffectCopy> copies;
    for (const EffectStep& step : pass) {
        copies.insert(copies.end(), step.copies.begin(), step.copies.end());
    }
    return copies;
}

std::uint32_t total_wait(const EffectPlan& effect) {
    std::uint32_t sum = 0;
    for (const EffectPass& pass : effect) {
        for (const EffectStep& step : pass) {
            sum += static_cast<std::uint32_t>(step.wait_ms);
        }
    }
    return sum;
}

// Performs every copy the way the player does (each number rounded half to
// even, the rectangle clipped to the stage) on a stage whose pixels record
// which source pixel they hold, starting with none. Returns how many pixels
// do not end up holding their own pixel of the new frame.
int pixels_wrong_after(const EffectPlan& effect, QSize stage) {
    const int w = stage.width();
    std::vector<int> shown(static_cast<std::size_t>(w * stage.height()), -1);
    const auto whole = [](double v) { return round_to_int(v); };
    for (const EffectPass& pass : effect) {
        for (const EffectCopy& c : copies_of(pass)) {
            const auto r = clip_blit(stage, whole(c.src_x), whole(c.src_y), stage, whole(c.x),
                                     whole(c.y), whole(c.width), whole(c.height));
            for (int row = 0; r && row < r->height; ++row) {
                for (int col = 0; col < r->width; ++col) {
                    shown[static_cast<std::size_t>((r->dst_y + row) * w + r->dst_x + col)] =
                        (r->src_y + row) * w + r->src_x + col;
                }
            }
        }
    }
    int wrong = 0;
    for (std::size_t p = 0; p < shown.size(); ++p) {
        wrong += shown[p] == static_cast<int>(p) ? 0 : 1;
    }
    return wrong;
}

// A copy to the rectangle's own place.
EffectCopy in_place(double x, double y, double w, double h) {
    return {x, y, w, h, x, y};
}

TEST(EffectPlans, StripWipesAndSlidesOnAnOrdinaryStage) {
    // Effect 1: step 8, 101 strips 9 wide, the last at x = 800 past the edge;
    // effect 2 runs the same strips backwards.
    const std::vector<EffectCopy> right = copies_of(plan(1)[0]);
    ASSERT_EQ(right.size(), 101U);
    for (std::size_t k = 0; k < right.size(); ++k) {
        ASSERT_EQ(right[k], in_place(8.0 * static_cast<double>(k), 0, 9, 600)) << k;
    }
    std::vector<EffectCopy> left = copies_of(plan(2)[0]);
    std::reverse(left.begin(), left.end());
    EXPECT_EQ(left, right);
    // Effect 3: step 6, 101 strips 7 high.
    const std::vector<EffectCopy> down = copies_of(plan(3)[0]);
    ASSERT_EQ(down.size(), 101U);
    EXPECT_EQ(down[100], in_place(0, 600, 800, 7));
    // Effect 5: 51 steps of a strip from each end.
    const EffectPass sides = plan(5)[0];
    ASSERT_EQ(sides.size(), 51U);
    EXPECT_EQ(sides[0].copies, (std::vector{in_place(0, 0, 9, 600), in_place(791, 0, 9, 600)}));
    EXPECT_EQ(sides[50].copies, (std::vector{in_place(400, 0, 9, 600), in_place(391, 0, 9, 600)}));
    // Slides: effect 7 and 8 step 7, 86 steps; effect 9 and 10 step 10, 81
    // steps, and only effect 9 stops its width at the stage's.
    const std::array<std::pair<EffectCopy, EffectCopy>, 4> first_and_last = {{
        {{0, 0, 800, 7, 0, 593}, {0, 0, 800, 602, 0, 0}},
        {{0, 593, 800, 7, 0, 0}, {0, 0, 800, 602, 0, 0}},
        {{0, 0, 10, 600, 790, 0}, {0, 0, 800, 600, 0, 0}},
        {{790, 0, 10, 600, 0, 0}, {0, 0, 810, 600, 0, 0}},
    }};
    for (int number = 7; number <= 10; ++number) {
        const std::vector<EffectCopy> slide = copies_of(plan(number)[0]);
        ASSERT_EQ(slide.size(), number <= 8 ? 86U : 81U) << number;
        EXPECT_EQ(slide.front(), first_and_last[static_cast<std::size_t>(number - 7)].first);
        EXPECT_EQ(slide.back(), first_and_last[static_cast<std::size_t>(number - 7)].second);
    }
}

TEST(EffectPlans, InterlacedPassesShareTheStripsOut) {
    // 600 high gives 101 strips (odd), 199 high 200 strips (even).
    for (const QSize stage : {kStage, QSize(199, 199)}) {
        for (const int number : {11, 12, 13, 14}) {
            const bool rows = number <= 12;
            const double step = std::floor((rows ? stage.height() : stage.width()) / 100.0);
            const EffectPlan effect = plan(number, stage);
            ASSERT_EQ(effect.size(), 2U);
            const std::size_t n = effect[0].size();
            ASSERT_EQ(n, stage == kStage ? 101U : 200U);
            std::set<double> starts;
            for (std::size_t p = 0; p < 2; ++p) {
                ASSERT_EQ(effect[p].size(), n);
                for (std::size_t t = 0; t < n; ++t) {
                    // Pass 1 copies in the sweep's 1st, 3rd, ... places, pass 2 in the others;
                    // effects 12 and 14 sweep from the last strip back.
                    const EffectStep& s = effect[p][t];
                    EXPECT_EQ(s.wait_ms, 8);
                    ASSERT_EQ(s.copies.size(), t % 2 == p ? 1U : 0U) << number << " " << p;
                    if (!s.copies.empty()) {
                        const double start = rows ? s.copies[0].y : s.copies[0].x;
                        const auto place = static_cast<double>(number % 2 == 0 ? n - 1 - t : t);
                        EXPECT_EQ(start, step * place) << number;
                        EXPECT_EQ(rows ? s.copies[0].height : s.copies[0].width, step + 1);
                        starts.insert(start);
                    }
                }
            }
            EXPECT_EQ(starts.size(), n);  // every strip, none twice
        }
    }
}

TEST(EffectPlans, DissolveFollowsTheBlockOrder) {
    DissolveOrder order = identity_dissolve_order();
    std::reverse(order.begin() + 1, order.end());
    const EffectPlan effect = effect_plan(15, kStage, order);
    ASSERT_EQ(effect.size(), 1U);
    ASSERT_EQ(effect[0].size(), 1600U);
    for (int k = 1; k <= 1600; ++k) {
        // Block j = 1601 - k sits in row (j - 1) / 40, column (j - 1) % 40 of 20 x 15 blocks.
        const int j = 1601 - k;
        const double x = 20.0 * ((j - 1) % 40);
        const double y = 15.0 * ((j - 1) / 40);
        const EffectStep& step = effect[0][static_cast<std::size_t>(k - 1)];
        ASSERT_EQ(step.copies, std::vector{in_place(x, y, 21, 16)}) << k;
        ASSERT_EQ(step.wait_ms, 1);
    }
    // An order that names no block ends the effect at that block.
    for (const std::int32_t bad : {0, -7, 1601}) {
        order[5] = bad;
        const EffectPlan cut = effect_plan(15, kStage, order);
        ASSERT_EQ(cut.size(), 1U);
        EXPECT_EQ(cut[0].size(), 4U) << bad;
    }
}

TEST(EffectPlans, BandedSlidesAndBoxOutOnAnOrdinaryStage) {
    // Effect 18: bands 81 wide growing by 8.1; the source lies at the band's
    // end. Effect 17: rows 61 high, content moving up from the band's bottom.
    const EffectPlan right = plan(18);
    ASSERT_EQ(right[0].size(), 10U);
    for (int c = 1; c <= 10; ++c) {
        const auto band = static_cast<std::size_t>(c - 1);
        EXPECT_EQ(right[0][0].copies[band],
                  (EffectCopy{81.0 * (c - 1), 0, 8.1, 600, 81.0 * c - 8.1, 0}));
        EXPECT_EQ(right[0][9].copies[band], in_place(81.0 * (c - 1), 0, 81, 600));
    }
    EXPECT_EQ(plan(17)[0][0].copies[1], (EffectCopy{0, 122 - 6.1, 800, 6.1, 0, 61}));
    // Effect 20: dx 11, dy 8, 40 steps of 25 ms.
    const EffectPass box = plan(20)[0];
    ASSERT_EQ(box.size(), 40U);
    EXPECT_EQ(box.front().copies[0], in_place(389, 292, 22, 16));
    EXPECT_EQ(box.back().copies[0], in_place(-40, -20, 880, 640));
}

TEST(EffectPlans, WaitsAddUpToTheEffectsDurations) {
    for (int number = 1; number <= kEffectCount; ++number) {
        EXPECT_EQ(total_wait(plan(number)), test::kEffectMs800x600[number]) << number;
    }
}

TEST(EffectPlans, UnknownNumbersAndSmallStagesGiveNothing) {
    EXPECT_STREQ(effect_name(1), "wipe_left_to_right");
    EXPECT_STREQ(effect_name(20), "box_out");
    for (const int number : {-2, -1, 0, 21}) {
        EXPECT_STREQ(effect_name(number), "") << number;
        EXPECT_TRUE(plan(number).empty()) << number;
    }
    // A step needs 100 pixels along the strips (80 for the slides).
    EXPECT_TRUE(plan(1, QSize(99, 600)).empty());
    EXPECT_FALSE(plan(1, QSize(100, 600)).empty());
    EXPECT_TRUE(plan(7, QSize(800, 79)).empty());
    EXPECT_FALSE(plan(7, QSize(800, 80)).empty());
    for (const int number : {3, 4, 6, 11, 12}) {
        EXPECT_TRUE(plan(number, QSize(800, 99)).empty() && !plan(number, QSize(99, 100)).empty())
            << number;
    }
    for (int number = 1; number <= kEffectCount; ++number) {
        EXPECT_TRUE(plan(number, QSize(0, 600)).empty() && plan(number, QSize(800, -1)).empty());
        EXPECT_EQ(plan(number, QSize(50, 50)).empty(), number <= 14) << number;
    }
}

TEST(EffectPlans, EveryEffectLeavesTheWholeNewFrame) {
    DissolveOrder order = identity_dissolve_order();
    std::shuffle(order.begin() + 1, order.end(), std::mt19937(20));
    for (const QSize stage : {kStage, QSize(1366, 768), QSize(123, 457), QSize(50, 50)}) {
        for (int number = 1; number <= kEffectCount; ++number) {
            // Effects 1-14 have nothing to do on the 50 x 50 stage.
            EXPECT_EQ(pixels_wrong_after(effect_plan(number, stage, order), stage),
                      stage.width() < 100 && number <= 14 ? 50 * 50 : 0)
                << number << " on " << stage.width() << " x " << stage.height();
        }
    }
}

}  // namespace
}  // namespace wm
