#pragma once
// Hands the reason for a failure to a caller that asked for one (a null
// pointer means it did not).

#include <QString>

namespace wm {

inline void set_error(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

}  // namespace wm
