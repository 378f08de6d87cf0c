#pragma once
// Running the program with windows. This header is free of Qt; the window
// module's entry points (window_module.h) call these for the program.

#include <functional>

#include "ui/models/main_window.h"

namespace quillet::qt {

// Whether the windows can be shown here: a Qt platform chosen in QT_QPA_PLATFORM,
// or an X display that accepts a connection.
bool CanOpenDisplay();

// Names the running QApplication after the program and gives it the program's
// icon.
void SetUpApplication();

// Runs frmMain's load event with the program's windows. form_load runs the whole
// command line and tells whether the main window stays open to show what went
// wrong; the windows then live until the last of them is closed. Returns the exit
// status the console front end would give for the same run.
int RunInWindows(const char* program_path, const std::function<bool()>& form_load);

// The same inside a QApplication that already exists.
int RunWindows(const std::function<bool()>& form_load, MainWindow& model = frmMain);

}  // namespace quillet::qt
