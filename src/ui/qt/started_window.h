#pragma once
// For the window tests: a main window model with the window front end installed,
// as start-up leaves them (height kept, width fitted, empty list prepared).

#include "ui/front_end.h"
#include "ui/models/main_window.h"
#include "ui/qt/main_form.h"
#include "ui/qt/qt_front_end.h"

namespace quillet::qt::testing {

struct StartedWindow {
    MainWindow model;
    QtFrontEnd windows{model};
    FrontEndScope installed{windows};

    StartedWindow() { model.LayOutAtStartUp(); }
    MainForm& form() { return windows.Main(); }
};

}  // namespace quillet::qt::testing
