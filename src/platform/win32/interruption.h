#pragma once
// What the interruption service (interruption.cpp) gives the rest of this folder.

namespace quillet::platform::win32 {

// The console input mode to put back if the run is interrupted while it is
// changed (typing hidden); null when there is none any more.
void restore_console_mode_if_interrupted(const unsigned long* saved_mode);

// Stops the programs started and not yet closed (processes.cpp), and starts no
// more: the clean-up of an interrupted run calls it before it deletes what is half
// made, which such a program might otherwise go on writing.
void stop_started_programs();

}  // namespace quillet::platform::win32
