#pragma once
// What the interruption service needs from the rest of this folder, and gives it.

#include <signal.h>
#include <termios.h>

namespace quillet::platform::posix {

// The terminal settings to put back if the run is interrupted while they are
// changed; null when there are none any more.
void restore_terminal_if_interrupted(const termios* saved);

// Stops the programs started and not yet closed (processes.cpp), and starts no
// more: the clean-up of an interrupted run calls it before it deletes what is half
// made, which such a program might otherwise go on writing.
void stop_started_programs();

// The signal mask the program started with, for the programs it starts: they must
// not inherit the signals blocked for the interruption's own thread.
const sigset_t& signal_mask_at_start();

}  // namespace quillet::platform::posix
