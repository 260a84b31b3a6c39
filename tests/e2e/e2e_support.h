#pragma once
// Small helpers every end-to-end case uses: waiting for something to happen
// on the display, and texts for failure messages.

#include <QRect>
#include <QString>

#include <functional>
#include <string>

namespace wm::e2e {

// How often a wait looks again.
inline constexpr int kPollMs = 100;

std::string text(const QString& s);
std::string text(const QRect& r);

// Calls `done` every poll interval until it returns true or `ms` pass;
// returns its last answer.
bool poll_until(int ms, const std::function<bool()>& done);

}  // namespace wm::e2e
