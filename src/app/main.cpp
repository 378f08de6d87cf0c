// The quillet program: reads its command line, installs the front end that serves
// the run, and runs the main window's load event, which does all the work.

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line_text.h"
#include "app/form_load.h"
#include "app/front_end_choice.h"
#include "job/snapshot_job.h"
#include "ui/console/console_front_end.h"
#include "ui/front_end.h"
#ifdef QUILLET_WINDOW_FRONT_END
#include "ui/qt/window_run.h"
#endif

namespace {

using namespace quillet;

// The exit status is the console's account of how the windows would have ended.
int run_in_console(const std::string& command_line) {
    ConsoleFrontEnd console(std::cout, std::cerr);
    const FrontEndScope installed(console);
    Form_Load(command_line, HandleCommandLineS);
    return console.Finish();
}

#ifdef QUILLET_WINDOW_FRONT_END
// The windows stay up while the main window shows what went wrong, or while the
// syntax window is open; the exit status is the one the console would give.
int run_in_windows(const char* program_path, const std::string& command_line) {
    return qt::RunInWindows(program_path, [&command_line] {
        return Form_Load(command_line, HandleCommandLineS) == WindowsAfterRun::errors_shown;
    });
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string command_line = CommandLineText(std::vector<std::string>(argv + 1, argv + argc));
    switch (ChooseFrontEndForRun()) {
        case FrontEndKind::console:
            return run_in_console(command_line);
        case FrontEndKind::window:
#ifdef QUILLET_WINDOW_FRONT_END
            if (qt::CanOpenDisplay()) return run_in_windows(argv[0], command_line);
#endif
            break;  // no display can be opened after all: the console serves
    }
    return run_in_console(command_line);
}
