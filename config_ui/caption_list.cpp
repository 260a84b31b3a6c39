#include "config_ui/caption_list.h"

#include <algorithm>

namespace wm {

CaptionList CaptionList::load_from(const SaverSettings& settings) {
    const int held = static_cast<int>(settings.captions.size()) - 1;
    const int count =
        std::clamp(settings.captions_total, 0, std::max(0, std::min(held, kMaxCaptions)));
    CaptionList list;
    list.entries_.reserve(count);
    for (int position = 1; position <= count; ++position) {
        list.entries_.append(settings.captions[static_cast<std::size_t>(position)]);
    }
    return list;
}

CaptionList::AddResult CaptionList::add(const QString& text) {
    if (text.isEmpty()) {
        return AddResult::Empty;
    }
    if (count() >= kMaxCaptions) {
        return AddResult::Full;
    }
    entries_.append(text);
    return AddResult::Added;
}

bool CaptionList::remove(int row) {
    if (row < 0 || row >= count()) {
        return false;
    }
    entries_.removeAt(row);
    return true;
}

void CaptionList::store_into(SaverSettings& settings) const {
    const auto needed = static_cast<std::size_t>(count()) + 1;
    if (settings.captions.size() < needed) {
        settings.captions.resize(needed);
    }
    settings.captions_total = count();
    for (int position = 1; position <= count(); ++position) {
        settings.captions[static_cast<std::size_t>(position)] = entries_[position - 1];
    }
}

int bar_position(int stored, IntRange range) {
    return std::clamp(stored, range.low, range.high);
}

PreviewLook preview_look(const SaverSettings& settings) {
    return {bar_position(settings.captions_size, kCaptionsSizeBar),
            caption_color(settings.captions_color), settings.captions_bold == 1,
            settings.captions_italic == 1};
}

bool preview_drawn_at_opening(const SaverSettings& settings) {
    const bool controls_unmoved =
        bar_position(settings.captions_color, kCaptionsColorBar) == kCaptionsColorBar.low &&
        bar_position(settings.captions_size, kCaptionsSizeBar) == kCaptionsSizeBar.low &&
        settings.captions_bold != 1 && settings.captions_italic != 1;
    return !controls_unmoved;
}

}  // namespace wm
