#pragma once
// The entry points of the window front end's module. The program loads the module
// only when it runs with windows, so that a console run never maps Qt, and finds
// these functions in it by their plain names. The header is free of Qt.

namespace quillet::qt {

// Runs the whole command line with the windows up; true when the main window
// stays open to show what went wrong.
using FormLoadFunction = bool(void* context);

}  // namespace quillet::qt

extern "C" {

// Whether the windows can be shown here (CanOpenDisplay).
bool quillet_window_can_open_display();

// Runs frmMain's load event with the program's windows (RunInWindows): form_load
// is called with context once they are up. Returns the exit status the console
// front end would give for the same run.
int quillet_window_run(const char* program_path, quillet::qt::FormLoadFunction* form_load, void* context);

}

namespace quillet::qt {

inline constexpr char kCanOpenDisplayEntry[] = "quillet_window_can_open_display";
inline constexpr char kRunEntry[] = "quillet_window_run";

using CanOpenDisplayFunction = decltype(quillet_window_can_open_display);
using RunFunction = decltype(quillet_window_run);

}  // namespace quillet::qt
