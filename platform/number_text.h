#pragma once
// Whole numbers stored as text (settings, registry values).

#include <QString>

#include <optional>

namespace wm {

// The number in `text`: blanks around it are tolerated, a number with a
// fraction is rounded half to even, and values beyond int's range are held
// at its ends. Nothing for empty text, junk, or a number that is not finite.
std::optional<int> parse_whole_number(const QString& text);

}  // namespace wm
