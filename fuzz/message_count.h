#pragma once
// The program's messages to the user, counted instead of shown, for the
// targets whose code may show one: a fuzz run has no one to answer a box.

namespace wm::fuzz {

// Once per process: from now on every message is counted and dropped.
void count_messages();

// How many messages the program has shown since count_messages().
int messages_shown();

}  // namespace wm::fuzz
