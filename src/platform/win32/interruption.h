#pragma once
// What the interruption service (interruption.cpp) gives the rest of this folder.

namespace quillet::platform::win32 {

// The console input mode to put back if the run is interrupted while it is
// changed (typing hidden); null when there is none any more.
void restore_console_mode_if_interrupted(const unsigned long* saved_mode);

// True once the run is being ended by an interruption. Long copies ask it between
// chunks (a copy progress routine returns PROGRESS_CANCEL): a file that a copy
// holds open cannot be deleted until the copy lets go of it.
bool interruption_started();

}  // namespace quillet::platform::win32
