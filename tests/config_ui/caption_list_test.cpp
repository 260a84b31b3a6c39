// The captions editor's rules without its window: the list, reading it from
// and writing it back to the record, where the bars stand for stored values,
// and the preview's look.

#include "config_ui/caption_list.h"

#include "tests/support/test_support.h"  // captions read as text in failure messages

#include <gtest/gtest.h>

namespace wm {
namespace {

SaverSettings with_captions(int count) {
    SaverSettings settings;
    settings.captions_total = count;
    for (int n = 1; n <= count; ++n) {
        settings.captions[static_cast<std::size_t>(n)] = QStringLiteral("Caption %1").arg(n);
    }
    return settings;
}

TEST(CaptionList, TakesTextAsTypedUpToFiveHundredAndRemovesByRow) {
    CaptionList list = CaptionList::load_from(with_captions(498));
    EXPECT_EQ(list.add(QString()), CaptionList::AddResult::Empty);
    EXPECT_EQ(list.add(QStringLiteral(" ")), CaptionList::AddResult::Added);
    EXPECT_EQ(list.add(QStringLiteral("Caption 1")), CaptionList::AddResult::Added);  // again
    EXPECT_EQ(list.add(QStringLiteral("One too many")), CaptionList::AddResult::Full);
    ASSERT_EQ(list.count(), 500);
    EXPECT_EQ(list.entries()[498], QStringLiteral(" "));
    EXPECT_FALSE(list.remove(500));
    EXPECT_TRUE(list.remove(0));
    EXPECT_EQ(list.entries().first(), QStringLiteral("Caption 2"));
}

TEST(CaptionList, ReplacesTheCountedCaptionsAndKeepsThoseAbove) {
    SaverSettings settings = with_captions(10);
    settings.captions_total = 3;  // positions 4 .. 10 are left from before
    CaptionList list = CaptionList::load_from(settings);
    ASSERT_EQ(list.count(), 3);
    list.remove(1);
    list.store_into(settings);
    EXPECT_EQ(settings.captions_total, 2);
    EXPECT_EQ(settings.captions[2], QStringLiteral("Caption 3"));
    EXPECT_EQ(settings.captions[3], QStringLiteral("Caption 3"));  // no longer counted
    EXPECT_EQ(settings.captions[10], QStringLiteral("Caption 10"));

    // Counts the record cannot back are held to the positions it has.
    settings.captions_total = 900;
    EXPECT_EQ(CaptionList::load_from(settings).count(), kMaxCaptions);
    settings.captions.resize(3);
    EXPECT_EQ(CaptionList::load_from(settings).count(), 2);
    settings.captions_total = -1;
    EXPECT_EQ(CaptionList::load_from(settings).count(), 0);
    CaptionList::load_from(with_captions(4)).store_into(settings);  // the record grows
    EXPECT_EQ(settings.captions_total, 4);
    ASSERT_GE(settings.captions.size(), 5U);
    EXPECT_EQ(settings.captions[4], QStringLiteral("Caption 4"));
}

TEST(CaptionLook, BarsHoldStoredValuesAndThePreviewShowsTheStoredColour) {
    EXPECT_EQ(bar_position(200, kCaptionsSizeBar), 80);
    EXPECT_EQ(bar_position(-5, kCaptionsSizeBar), 8);
    EXPECT_EQ(bar_position(0, kCaptionsColorBar), 1);
    EXPECT_EQ(bar_position(16, kCaptionsColorBar), 15);

    SaverSettings settings;
    settings.captions_color = 0;
    settings.captions_size = 200;
    settings.captions_bold = 2;  // only 1 counts as set
    const PreviewLook look = preview_look(settings);
    EXPECT_EQ(look.colour, QColor(0, 0, 0));
    EXPECT_EQ(look.point_size, 80);
    EXPECT_FALSE(look.bold);
    EXPECT_TRUE(look.italic);
    settings.captions_color = 99;
    EXPECT_EQ(preview_look(settings).colour, QColor(255, 255, 255));
}

TEST(CaptionLook, ThePreviewIsDrawnAtOpeningUnlessEveryControlStaysAtItsStart) {
    SaverSettings settings;
    EXPECT_TRUE(preview_drawn_at_opening(settings));
    settings.captions_color = 0;  // the bar opens at 1
    settings.captions_size = 3;   // and at 8
    settings.captions_bold = 0;
    settings.captions_italic = 0;
    settings.captions_random = 1;  // its box never redraws the preview
    EXPECT_FALSE(preview_drawn_at_opening(settings));
    const auto moved = [&settings](int SaverSettings::*field, int value) {
        SaverSettings changed = settings;
        changed.*field = value;
        return preview_drawn_at_opening(changed);
    };
    EXPECT_TRUE(moved(&SaverSettings::captions_color, 2));
    EXPECT_TRUE(moved(&SaverSettings::captions_size, 9));
    EXPECT_TRUE(moved(&SaverSettings::captions_bold, 1));
    EXPECT_TRUE(moved(&SaverSettings::captions_italic, 1));
}

}  // namespace
}  // namespace wm
