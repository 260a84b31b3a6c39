#pragma once
// The private folder of one run for its temporary files.
//
// Made on first use under $XDG_RUNTIME_DIR (or the system temp folder) with a
// unique name and mode 0700, so no other user can plant files or links in it
// and two running copies never share it. Removed with everything in it by
// remove_run_temp_folder(); a later call to run_temp_folder() makes a new one.

#include <QString>

namespace wm {

// The folder's path, ending in the separator; empty when it cannot be made.
QString run_temp_folder();

// Deletes the folder and its contents. Safe to call when there is none.
void remove_run_temp_folder();

// The same with system calls alone (no allocation, no locks, no objects that
// static destruction may already have taken), for the moments when the rest
// of the program cannot be relied on: a watchdog ending a hung shutdown, a
// handler run at exit. The folder's own files go (the run keeps nothing
// deeper); a later call to run_temp_folder() makes a new folder.
void remove_run_temp_folder_at_once();

}  // namespace wm
