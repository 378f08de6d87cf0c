#include "ui/qt/window_run.h"

#include <QApplication>

#include "ui/qt/qt_front_end.h"
#include "ui/qt/window_style.h"
#include "ui/version.h"

namespace quillet::qt {

int RunInWindows(const char* program_path, const std::function<bool()>& form_load) {
    // Qt is given no arguments of the command line: they are all the program's.
    static char* arguments[] = {const_cast<char*>(program_path), nullptr};
    static int argument_count = 1;
    QApplication application(argument_count, arguments);
    SetUpApplication();
    return RunWindows(form_load);
}

void SetUpApplication() {
    QApplication::setApplicationName(kProgramTitle);
    QApplication::setWindowIcon(ProgramIcon());
}

int RunWindows(const std::function<bool()>& form_load, MainWindow& model) {
    QtFrontEnd windows(model);
    const FrontEndScope installed(windows);
    const bool main_window_stays = form_load();
    return windows.Finish(main_window_stays);
}

}  // namespace quillet::qt
