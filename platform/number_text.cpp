#include "platform/number_text.h"

#include "platform/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wm {

std::optional<int> parse_whole_number(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong whole = trimmed.toLongLong(&ok);
    if (ok) {
        return static_cast<int>(std::clamp<qlonglong>(whole, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    }
    const double real = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(real)) {
        return std::nullopt;
    }
    return round_to_int(real);
}

}  // namespace wm
