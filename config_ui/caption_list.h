#pragma once
// What the captions editor decides, without its widgets: the list being
// edited with its limit of 500, how it is read from and written back to the
// settings record, where the colour and size bars stand for stored values,
// and how the preview looks.

#include "startup/saver_settings.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace wm {

// The colour bar offers 1..15: black (0) cannot be chosen here.
inline constexpr IntRange kCaptionsColorBar{1, 15};
// The size bar, in points.
inline constexpr IntRange kCaptionsSizeBar = kCaptionsSizeRange;
// A click in the size bar's track moves it this far.
inline constexpr int kCaptionsSizePageStep = 10;

class CaptionList {
  public:
    enum class AddResult { Added, Empty, Full };

    CaptionList() = default;

    // The captions at positions 1..captions_total, held to 0..500 and to the
    // positions the record holds.
    static CaptionList load_from(const SaverSettings& settings);

    // Appends `text` exactly as typed (no trimming, duplicates allowed);
    // empty text and a 501st caption are refused.
    AddResult add(const QString& text);

    // Removes entry `row` (from 0); false when there is no such entry.
    bool remove(int row);

    const QStringList& entries() const { return entries_; }
    int count() const { return static_cast<int>(entries_.size()); }

    // Makes the list the record's captions: the count becomes the number of
    // entries and position k holds entry k - 1. Positions above the new count
    // keep their old strings, no longer counted.
    void store_into(SaverSettings& settings) const;

  private:
    QStringList entries_;
};

// Where a bar with `range` stands for a stored value: the value itself, or
// the nearer end of the bar for a value outside it.
int bar_position(int stored, IntRange range);

// How the preview draws "Example": the stored colour (black included, which
// the bar cannot choose; an index outside the palette is bright white, as the
// saver draws it) at the stored size held to the size bar's range.
struct PreviewLook {
    int point_size;
    QColor colour;
    bool bold;
    bool italic;
};
PreviewLook preview_look(const SaverSettings& settings);

// Whether the window draws the preview as it opens. The controls start at
// their first positions (boxes clear, colour 1, size 8) and redraw the preview
// only when filling them moves one: a look that leaves them all there keeps
// the preview's first text until the first change.
bool preview_drawn_at_opening(const SaverSettings& settings);

}  // namespace wm
