#pragma once
// What the interruption service (interruption.cpp) gives the rest of this folder.

namespace quillet::platform::win32 {

// The console input mode to put back if the run is interrupted while it is
// changed (typing hidden); null when there is none any more.
void restore_console_mode_if_interrupted(const unsigned long* saved_mode);

}  // namespace quillet::platform::win32
