#pragma once
// frmMain's start-up side: the load event that runs the whole command line, and
// the unload event that ends the program.

#include <string>

#include "app/command_dispatcher.h"

namespace quillet {

// How the run left the windows, which decides how the program goes on.
enum class WindowsAfterRun {
    closed,        // the main window unloaded itself: the program ends
    errors_shown,  // the main window stays open with "Errors encountered"
    syntax_only,   // the main window unloaded, the syntax window keeps the program alive
};

// Prepares the main window, runs the command line (the argument text after the
// program's name) to completion with `job` for each snapshot job, and then either
// leaves the window open to show what went wrong or unloads it.
WindowsAfterRun Form_Load(const std::string& strCommand, const JobRunner& job);

// The main window unloads: the program ends unless the syntax window is loaded.
WindowsAfterRun Form_Unload();

}  // namespace quillet
