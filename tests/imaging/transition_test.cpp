// Scene changes on the virtual clock: loading, composing, every effect's
// timing and abort, and the pictures that must be skipped.

#include "imaging/transition.h"
#include "imaging/effect_plan.h"
#include "imaging/picture_box.h"
#include "platform/run_random.h"
#include "tests/imaging/effect_durations.h"
#include "tests/imaging/jpeg_maker.h"
#include "tests/support/hostile_files.h"
#include "tests/support/test_support.h"
#include "tests/support/virtual_host.h"
#include "tests/support/warning_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace wm {
namespace {

constexpr QRgb kOld = 0xFF102030;

// Records, for every rectangle a box reports changed, when it changed.
class CopyLog : public PictureView {
  public:
    explicit CopyLog(test::VirtualHost& host) : host_(host) {}
    void picture_changed(const QRect& pixels) override { copies.push_back({host_.now(), pixels}); }
    void picture_gone() override {}
    struct Copy {
        std::uint32_t tick;
        QRect pixels;
    };
    std::vector<Copy> copies;

  private:
    test::VirtualHost& host_;
};

// A picture where every pixel differs from its neighbours and from kOld.
QImage test_picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, 200));
        }
    }
    return image;
}

class SceneChange : public testing::Test {
  protected:
    void SetUp() override {
        seed_run_random(7);
        ascreen.set_pixel_size(800, 600);
        ascreen.set_back_colour(QColor(kOld));
        ascreen.Cls();
        picture = dir.filePath(QStringLiteral("scene.png"));
        ASSERT_TRUE(test_picture(800, 600).save(picture));
    }

    // The screen pixel at (x, y) shows the new scene.
    bool shows_new(int x, int y) const {
        return ascreen.Image().pixel(x, y) == main.Image().pixel(x, y);
    }

    QTemporaryDir dir;
    QString picture;
    test::VirtualHost host{1000};
    test::MessageCapture messages;
    Transitions transitions{host};
    PictureBox work;
    PictureBox ascreen;
    PictureBox main;
};

TEST_F(SceneChange, EveryEffectEndsWithTheComposedFrameAfterItsWaits) {
    for (int effect = 1; effect <= kEffectCount; ++effect) {
        SCOPED_TRACE(effect);
        ascreen.Cls();
        const std::uint32_t start = host.now();
        ASSERT_EQ(transitions.transition_to_picture(picture, work, ascreen, main, effect, 1,
                                                    std::nullopt),
                  SceneOutcome::kShown);
        EXPECT_EQ(host.now() - start, test::kEffectMs800x600[effect]);
        EXPECT_EQ(transitions.last_effect(), effect);
        EXPECT_EQ(ascreen.Image(), main.Image());
        EXPECT_FALSE(transitions.abort_transition());
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(SceneChange, StepsShowBeforeTheirWaits) {
    // Half way through the left-to-right wipe the left half is new, the
    // right half still old.
    bool checked = false;
    host.at(host.now() + 1010, [&] {
        EXPECT_TRUE(shows_new(10, 300));
        EXPECT_TRUE(shows_new(390, 599));
        EXPECT_FALSE(shows_new(420, 0));
        EXPECT_EQ(ascreen.Image().pixel(790, 300), kOld);
        checked = true;
    });
    transitions.transition_to_picture(picture, work, ascreen, main, 1, 1, std::nullopt);
    EXPECT_TRUE(checked);
}

TEST_F(SceneChange, InputStopsEveryEffectAtItsNextWait) {
    for (int effect = 1; effect <= kEffectCount; ++effect) {
        SCOPED_TRACE(effect);
        ascreen.Cls();
        CopyLog log(host);
        ascreen.attach_view(&log);
        const std::uint32_t abort_at = host.now() + 150;
        host.at(abort_at, [&] { transitions.set_abort_transition(true); });
        transitions.transition_to_picture(picture, work, ascreen, main, effect, 1, std::nullopt);
        ascreen.attach_view(nullptr);

        EXPECT_EQ(host.now(), abort_at) << "no wait after the abort";
        EXPECT_EQ(ascreen.Image(), main.Image()) << "the whole frame shows at once";
        EXPECT_FALSE(transitions.abort_transition());
        ASSERT_FALSE(log.copies.empty());
        // After the abort only the final paint, and for the interlaced effects
        // at most the first strip of their second pass.
        const auto late = std::count_if(log.copies.begin(), log.copies.end(),
                                        [&](const CopyLog::Copy& c) { return c.tick >= abort_at; });
        const bool interlaced = effect >= 11 && effect <= 14;
        EXPECT_LE(late, interlaced ? 2 : 1);
        EXPECT_EQ(log.copies.back().pixels, QRect(0, 0, 800, 600));
    }
}

TEST_F(SceneChange, AnAbortEndsOnlyThePassThatRuns) {
    main.set_back_colour(Qt::white);
    main.set_pixel_size(800, 600);
    main.Cls();
    CopyLog log(host);
    ascreen.attach_view(&log);
    // Two passes of three one-pixel copies; the abort comes during the
    // second wait of the first pass.
    const auto copy_at = [](int x) { return EffectCopy{double(x), 0, 1, 1, double(x), 0}; };
    const EffectPlan plan = {{{{copy_at(0)}, 10}, {{copy_at(1)}, 10}, {{copy_at(2)}, 10}},
                             {{{copy_at(3)}, 10}, {{copy_at(4)}, 10}, {{copy_at(5)}, 10}}};
    host.at(host.now() + 15, [&] { transitions.set_abort_transition(true); });
    transitions.play_effect(plan, main, ascreen);
    ascreen.attach_view(nullptr);
    std::vector<int> copied;
    for (const CopyLog::Copy& c : log.copies) {
        copied.push_back(c.pixels.x());
    }
    // The first pass ends after its second step; the second copies its
    // first strip and then sees the flag.
    EXPECT_EQ(copied, (std::vector<int>{0, 1, 3}));
}

TEST_F(SceneChange, AnAbortRaisedBeforehandShowsTheSceneAtOnce) {
    transitions.set_abort_transition(true);
    const std::uint32_t start = host.now();
    transitions.transition_to_picture(picture, work, ascreen, main, 3, 1, std::nullopt);
    EXPECT_EQ(host.now(), start);
    EXPECT_EQ(transitions.last_effect(), 0);
    EXPECT_EQ(ascreen.Image(), main.Image());
    EXPECT_FALSE(transitions.abort_transition());

    // Even "compose only" then shows the new scene.
    ascreen.Cls();
    transitions.set_abort_transition(true);
    transitions.transition_to_picture(picture, work, ascreen, main, kComposeOnly, 1, std::nullopt);
    EXPECT_EQ(ascreen.Image(), main.Image());
}

TEST_F(SceneChange, SpecialEffectNumbers) {
    const std::uint32_t start = host.now();
    // -1 composes the scene and leaves the screen alone.
    transitions.transition_to_picture(picture, work, ascreen, main, kComposeOnly, 1, std::nullopt);
    EXPECT_EQ(ascreen.Image().pixel(400, 300), kOld);
    EXPECT_EQ(main.Image(), test_picture(800, 600));
    // 0, and any number outside 1 .. 20, show it at once.
    for (const int effect : {kNoEffect, 21, -3, 1000}) {
        ascreen.Cls();
        transitions.transition_to_picture(picture, work, ascreen, main, effect, 1, std::nullopt);
        EXPECT_EQ(ascreen.Image(), main.Image()) << effect;
        EXPECT_EQ(transitions.last_effect(), 0) << effect;
    }
    EXPECT_EQ(host.now(), start);
    // -2 picks every one of the twenty, and nothing else (on a small stage,
    // to keep the copying short).
    ascreen.set_pixel_size(120, 90);
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        transitions.transition_to_picture(QString(), work, ascreen, main, kRandomEffect, 1,
                                          std::nullopt);
        seen.insert(transitions.last_effect());
    }
    EXPECT_EQ(seen.size(), 20u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 20);
}

TEST_F(SceneChange, PicturesAreFittedWithTheirOwnShape) {
    // A 300 x 100 PNG: work takes its size, main shows it 800 x 266.67 in the middle.
    const QString wide = dir.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(test_picture(300, 100).save(wide));
    main.set_back_colour(Qt::black);
    transitions.transition_to_picture(wide, work, ascreen, main, 0, 1, std::nullopt);
    EXPECT_EQ(work.pixel_size(), QSize(300, 100));
    EXPECT_EQ(main.pixel_size(), QSize(800, 600));
    EXPECT_EQ(main.Image().pixel(400, 160), qRgb(0, 0, 0));
    EXPECT_NE(main.Image().pixel(400, 170), qRgb(0, 0, 0));
    EXPECT_NE(main.Image().pixel(400, 430), qRgb(0, 0, 0));
    EXPECT_EQ(main.Image().pixel(400, 440), qRgb(0, 0, 0));

    // A JPEG of another shape, named in capitals: through the decoder, same rule.
    const QString tall = dir.filePath(QStringLiteral("TALL.JpG"));
    ASSERT_TRUE(test::write_file(
        tall, test::make_jpeg(60, 80, [](int, int) { return qRgb(250, 250, 250); })));
    transitions.transition_to_picture(tall, work, ascreen, main, 0, 1, std::nullopt);
    EXPECT_EQ(work.pixel_size(), QSize(60, 80));
    // A photograph far larger than the stage arrives decoded small enough:
    // 1600 x 1200 fits 800 x 600 at a half, which the decoder offers.
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(test::write_file(
        photo, test::make_jpeg(1600, 1200, [](int, int) { return qRgb(10, 200, 10); })));
    ASSERT_EQ(transitions.transition_to_picture(photo, work, ascreen, main, 0, 1, std::nullopt),
              SceneOutcome::kShown);
    EXPECT_EQ(work.pixel_size(), QSize(800, 600));
    EXPECT_GT(qGreen(main.Image().pixel(0, 0)), 190);
    transitions.transition_to_picture(tall, work, ascreen, main, 0, 1, std::nullopt);
    EXPECT_EQ(main.Image().pixel(170, 300), qRgb(0, 0, 0));
    EXPECT_GT(qRed(main.Image().pixel(180, 300)), 240);
    EXPECT_GT(qRed(main.Image().pixel(620, 300)), 240);
    EXPECT_EQ(main.Image().pixel(630, 300), qRgb(0, 0, 0));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(SceneChange, BitmapsAndGifsLoadToo) {
    const QString bmp = dir.filePath(QStringLiteral("wide.bmp"));
    ASSERT_TRUE(test_picture(400, 150).save(bmp));
    ASSERT_EQ(transitions.transition_to_picture(bmp, work, ascreen, main, 0, 1, std::nullopt),
              SceneOutcome::kShown);
    EXPECT_EQ(work.pixel_size(), QSize(400, 150));
    EXPECT_EQ(main.Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(main.Image().pixel(0, 150), test_picture(400, 150).pixel(0, 0));

    // One white pixel: a GIF with a two-colour table and one LZW code.
    const QString gif = dir.filePath(QStringLiteral("dot.gif"));
    ASSERT_TRUE(test::write_file(gif, QByteArray::fromHex("47494638396101000100800000"
                                                          "ffffff000000"
                                                          "2c000000000100010000"
                                                          "0202440100"
                                                          "3b")));
    ASSERT_EQ(transitions.transition_to_picture(gif, work, ascreen, main, 0, 1, std::nullopt),
              SceneOutcome::kShown);
    EXPECT_EQ(work.pixel_size(), QSize(1, 1));
    EXPECT_EQ(main.Image().pixel(400, 300), qRgb(255, 255, 255));
    EXPECT_EQ(main.Image().pixel(50, 300), qRgb(0, 0, 0));
}

TEST_F(SceneChange, TheCaptionGoesIntoTheScene) {
    const CaptionStyle caption{QStringLiteral("Season's Greetings"),
                               7,
                               QStringLiteral("Arial"),
                               30.0,
                               QColor(255, 255, 0),
                               true,
                               false};
    transitions.transition_to_picture(picture, work, ascreen, main, 0, 1, caption);
    int yellow = 0;
    for (int x = 200; x < 600; ++x) {
        yellow += ascreen.Image().pixel(x, 300) == qRgb(255, 255, 0) ? 1 : 0;
    }
    EXPECT_GT(yellow, 5);
    EXPECT_EQ(ascreen.Image().pixel(400, 10), test_picture(800, 600).pixel(400, 10));
}

TEST_F(SceneChange, UnusablePicturesKeepTheSceneAndAreLoggedOnceWithoutAMessageBox) {
    transitions.transition_to_picture(picture, work, ascreen, main, 0, 1, std::nullopt);
    const QImage scene = ascreen.Image().copy();
    const QImage background = main.Image().copy();

    const QString broken = dir.filePath(QStringLiteral("img_xyz.jpg"));
    ASSERT_TRUE(test::write_file(broken, QByteArray("not a picture")));
    // A picture wider than any box can be: skipped, not squeezed.
    const QString too_wide = dir.filePath(QStringLiteral("too_wide.png"));
    QImage strip(40000, 2, QImage::Format_RGB32);
    strip.fill(Qt::white);
    ASSERT_TRUE(strip.save(too_wide));
    // Not a JPEG by its name, so the image reader has it.
    const QString broken_jpeg = dir.filePath(QStringLiteral("broken.jpeg"));
    ASSERT_TRUE(test::write_file(broken_jpeg, QByteArray("not a picture either")));
    // Files no reader may open: a pipe would block it for ever, /dev/zero
    // never ends, a folder is no picture.
    const QString pipe = dir.filePath(QStringLiteral("y.jpg"));
    ASSERT_TRUE(test::make_fifo(pipe));
    const QString pipe_png = dir.filePath(QStringLiteral("y.png"));
    ASSERT_TRUE(test::make_fifo(pipe_png));
    const QString zero = dir.filePath(QStringLiteral("zero.jpg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString zero_gif = dir.filePath(QStringLiteral("zero.gif"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero_gif));
    const QString folder = dir.filePath(QStringLiteral("x.jpg"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("x.jpg")));
    const QString unreadable[] = {broken,
                                  dir.filePath(QStringLiteral("missing.png")),
                                  dir.filePath(QStringLiteral("missing.jpg")),
                                  too_wide,
                                  broken_jpeg,
                                  pipe,
                                  pipe_png,
                                  zero,
                                  zero_gif,
                                  folder};
    test::WarningLog log;
    for (const QString& file : unreadable) {
        for (int again = 0; again < 2; ++again) {
            transitions.set_abort_transition(true);
            EXPECT_EQ(
                transitions.transition_to_picture(file, work, ascreen, main, 5, 1, std::nullopt),
                SceneOutcome::kPictureSkipped)
                << qPrintable(file);
            EXPECT_EQ(ascreen.Image(), scene);
            EXPECT_EQ(main.Image(), background);
            EXPECT_FALSE(transitions.abort_transition());
        }
    }
    // No box over a running saver: each file is logged once, however often
    // it comes round; a broken JPEG says what the decoder would tell.
    EXPECT_TRUE(messages.messages().empty());
    const auto skipped = [&](const QString& file) {
        return log.count_naming(QStringLiteral("Skipping picture ") + file + QLatin1Char(':'));
    };
    const QString said = log.lines().join(QLatin1Char('\n'));
    for (const QString& file : unreadable) {
        EXPECT_EQ(skipped(file), 1) << qPrintable(file);
        EXPECT_EQ(said.count(file), 1) << "named once: " << qPrintable(said);
    }
    EXPECT_EQ(log.count_naming(QStringLiteral("Failed to read JPG")), 1);
    EXPECT_EQ(log.count_naming(QStringLiteral("a named pipe")), 2);

    // Another broken picture under the same temporary name is logged as well.
    ASSERT_TRUE(test::write_file(broken, QByteArray("another broken picture")));
    transitions.transition_to_picture(broken, work, ascreen, main, 0, 1, std::nullopt);
    EXPECT_EQ(skipped(broken), 2);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(TransitionWait, EndsOnTimeOnAbortOrAfterTheLastYield) {
    test::VirtualHost host(0xFFFFFFF0u);  // the wait crosses the clock's wrap
    Transitions transitions(host);
    transitions.transition_wait(40);
    EXPECT_EQ(host.now(), 0x18u);
    const std::uint64_t yields = host.yields();
    transitions.transition_wait(0);
    transitions.transition_wait(-5);
    EXPECT_EQ(host.yields(), yields);
    EXPECT_EQ(host.now(), 0x18u);

    host.at(0x18 + 7, [&] { transitions.set_abort_transition(true); });
    transitions.transition_wait(1000);
    EXPECT_EQ(host.now(), 0x18u + 7);
}

// A host whose clock never moves: only the yield limit ends a wait.
class StoppedClock : public EngineHost {
  public:
    std::uint32_t tick_count() override { return 5; }
    void yield_once() override { ++yields; }
    void yield_until(std::uint32_t) override { ++yields; }
    int yields = 0;
};

TEST(TransitionWait, YieldsAtMost5001Times) {
    StoppedClock host;
    Transitions transitions(host);
    transitions.transition_wait(10);
    EXPECT_EQ(host.yields, kMaxWaitYields);
}

TEST(DissolveOrder, IsAWellShuffledPermutation) {
    test::VirtualHost host;
    Transitions transitions(host);
    EXPECT_EQ(transitions.dissolve_order(), identity_dissolve_order());
    seed_run_random(1);
    transitions.shuffle_dissolve_order();
    const DissolveOrder first = transitions.dissolve_order();
    std::vector<std::int32_t> sorted(first.begin() + 1, first.end());
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < kDissolveBlocks; ++i) {
        ASSERT_EQ(sorted[static_cast<std::size_t>(i)], i + 1);
    }
    // Well mixed: few blocks stay in place, and neighbours in the order are
    // rarely neighbours on the stage.
    int in_place = 0;
    int neighbours = 0;
    for (int i = 1; i <= kDissolveBlocks; ++i) {
        in_place += first[static_cast<std::size_t>(i)] == i ? 1 : 0;
        if (i > 1) {
            const int step =
                first[static_cast<std::size_t>(i)] - first[static_cast<std::size_t>(i - 1)];
            neighbours += step == 1 || step == -1 ? 1 : 0;
        }
    }
    EXPECT_LT(in_place, 10);
    EXPECT_LT(neighbours, 20);
    // Each shuffle draws anew.
    transitions.shuffle_dissolve_order();
    EXPECT_NE(transitions.dissolve_order(), first);
}

TEST(BlitBoxes, RoundsEveryCoordinateHalfToEven) {
    PictureBox source;
    source.set_back_colour(Qt::white);
    source.set_pixel_size(20, 20);
    source.Cls();
    PictureBox dest;
    dest.set_back_colour(Qt::black);
    dest.set_pixel_size(20, 20);
    dest.Cls();
    // x 2.5 -> 2, y 3.5 -> 4, width 4.5 -> 4, height 1.5 -> 2.
    blit_boxes(dest, 2.5, 3.5, 4.5, 1.5, source, 0.5, 0.5, RasterOp::kSrcCopy);
    QRect white;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (dest.Image().pixel(x, y) == qRgb(255, 255, 255)) {
                white |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_EQ(white, QRect(2, 4, 4, 2));
    // Absurd numbers are held, not overflowed.
    blit_boxes(dest, -1e300, 1e300, 1e300, -1e300, source, 0, 0, RasterOp::kSrcCopy);
    blit_boxes(dest, 0, 0, std::numeric_limits<double>::quiet_NaN(), 5, source, 0, 0,
               RasterOp::kSrcCopy);
    EXPECT_EQ(dest.Image().pixel(0, 0), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace wm
