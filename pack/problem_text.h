#pragma once
// Hands a problem text to a caller that asked for one (a null pointer means it did not).

#include <QString>

namespace wm {

inline void set_problem(QString* problem, const QString& text) {
    if (problem != nullptr) {
        *problem = text;
    }
}

}  // namespace wm
