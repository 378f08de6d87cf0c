#pragma once
// One snapshot job from one command line: options, naming, clean-up, copy pass,
// zip pass and ending. Every failure ends up as a message row, a message box or an
// error report; nothing is thrown to the caller.

#include <string>

#include "job/run_state.h"

namespace quillet {

void HandleCommandLineS(const std::string& strCommandline, RunState& run);

}  // namespace quillet
