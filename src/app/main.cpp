// The quillet program: reads its command line, installs the front end that serves
// the run, and runs the main window's load event, which does all the work.

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line_text.h"
#include "app/form_load.h"
#include "app/front_end_choice.h"
#include "job/snapshot_job.h"
#include "platform/platform.h"
#include "ui/console/command_line_hint.h"
#include "ui/console/console_front_end.h"
#include "ui/console/program_questions.h"
#include "ui/front_end.h"
#include "ui/msgbox.h"
#ifdef QUILLET_WINDOW_FRONT_END
#include <optional>

#include "ui/qt/window_module.h"
#endif

namespace {

using namespace quillet;

void refuse_password(const std::string& option) {
    lib_MsgBoxInfo("The " + option +
                   " password cannot be passed on as given: it holds a double quote, a blank at either end or text "
                   "that is not UTF-8");
}

// The job that each line runs. A password that would reach the job changed is
// refused: an archive under another password could not be opened. The program's
// arguments are judged once (and where the system hands over a typed line, that
// line, whose quotes the system's split has taken out); each line of a command
// file as it comes.
JobRunner job_for(const std::vector<std::string>& arguments) {
    auto option = PasswordThatCannotPass(arguments);
    if (const auto typed = platform::command_line_as_typed(); typed && !option) {
        option = PasswordThatTheLineChanges(*typed);
    }
    if (option) {
        return [option = *option](const std::string&, RunState&) { refuse_password(option); };
    }
    return [](const std::string& line, RunState& run) {
        if (const auto option = PasswordThatTheLineChanges(line)) {
            refuse_password(*option);
        } else {
            HandleCommandLineS(line, run);
        }
    };
}

// The exit status is the console's account of how the windows would have ended.
// A hint for a mistyped path follows whatever the run said about it.
int run_in_console(const std::vector<std::string>& arguments) {
    if (WindowsAskedForButNotBuilt()) {
        std::cerr << platform::executable_name() << ": this build has no window front end, running in the console"
                  << std::endl;
    }
    ConsoleFrontEnd console(std::cout, std::cerr);
    const FrontEndScope installed(console);
    Form_Load(CommandLineText(arguments), job_for(arguments));
    const int status = console.Finish();
    if (const auto hint = CommandLineHint(arguments)) std::cerr << *hint << std::endl;
    return status;
}

#ifdef QUILLET_WINDOW_FRONT_END
// The window front end lives in a module of its own, which is loaded only for a
// run that wants windows: the console run never maps Qt.
struct WindowFrontEnd {
    qt::CanOpenDisplayFunction* can_open_display = nullptr;
    qt::RunFunction* run = nullptr;
};

template <typename Function>
Function* entry_point(const platform::ProgramModule& module, const char* name, std::string& failure) {
    Function* function = module.entry_point<Function>(name);
    if (function == nullptr) failure = std::string(QUILLET_WINDOW_MODULE) + " has no entry point " + name;
    return function;
}

// Empty, once standard error has been told why in one line, when the module
// cannot be loaded; the console then serves, as it does without a display.
std::optional<WindowFrontEnd> load_window_front_end() {
    std::string failure;
    if (const auto module = platform::load_program_module(QUILLET_WINDOW_MODULE, failure)) {
        const WindowFrontEnd windows{entry_point<qt::CanOpenDisplayFunction>(*module, qt::kCanOpenDisplayEntry, failure),
                                     entry_point<qt::RunFunction>(*module, qt::kRunEntry, failure)};
        if (windows.can_open_display != nullptr && windows.run != nullptr) return windows;
    }
    std::cerr << platform::executable_name() << ": cannot load the window front end, running in the console instead: "
              << failure << std::endl;
    return std::nullopt;
}

struct WindowsRun {
    std::string command_line;
    JobRunner job;
};

bool form_load_in_windows(void* run) {
    const auto& windows_run = *static_cast<const WindowsRun*>(run);
    return Form_Load(windows_run.command_line, windows_run.job) == WindowsAfterRun::errors_shown;
}

// The windows stay up while the main window shows what went wrong, or while the
// syntax window is open; the exit status is the one the console would give.
int run_in_windows(const WindowFrontEnd& windows, const char* program_path, const std::vector<std::string>& arguments) {
    WindowsRun run{CommandLineText(arguments), job_for(arguments)};
    return windows.run(program_path, form_load_in_windows, &run);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = platform::program_arguments(argc, argv);
    if (const auto status = AnswerProgramQuestion(arguments, std::cout)) return *status;
    platform::ignore_misleading_environment();
    // Before any other thread starts, so that every one of them leaves the
    // interruption signals to the thread that cleans up after them. Without that
    // thread an interrupted run could not clean up: no run then.
    try {
        platform::watch_for_interruption();
    } catch (const std::system_error& error) {
        std::cerr << platform::executable_name() << ": cannot start a thread: " << error.code().message() << std::endl;
        return 1;
    }
    switch (ChooseFrontEndForRun()) {
        case FrontEndKind::console:
            return run_in_console(arguments);
        case FrontEndKind::window:
#ifdef QUILLET_WINDOW_FRONT_END
            if (const auto windows = load_window_front_end(); windows && windows->can_open_display()) {
                return run_in_windows(*windows, argv[0], arguments);
            }
#endif
            break;  // no display can be opened after all: the console serves
    }
    return run_in_console(arguments);
}
