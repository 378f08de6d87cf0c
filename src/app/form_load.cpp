#include "app/form_load.h"

#include <charconv>

#include "app/trapped_error.h"
#include "platform/platform.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/front_end.h"
#include "ui/models/main_window.h"
#include "ui/reporting.h"
#include "ui/version.h"

namespace quillet {

namespace {

// QUILLET_COPY_THREADS=N: the threads that copy files, for tests and measurements;
// 0 (one per core) when it is not set or not a number from 1 to 64.
unsigned copy_threads_asked() {
    const auto text = platform::environment_variable("QUILLET_COPY_THREADS");
    if (!text) return 0;
    unsigned threads = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), threads);
    return error == std::errc() && end == text->data() + text->size() && threads <= 64 ? threads : 0;
}

}  // namespace

WindowsAfterRun Form_Load(const std::string& strCommand, const JobRunner& job) {
    // Everything the jobs keep between them lives as long as the window.
    RunState run;
    run.CopyThreads = copy_threads_asked();
    try {
        ShowErrorDetails = true;
        lib_basDisplay::lib_SetWindowTitle(kProgramTitle, "", kMainWindow);
        run.ShiftKeyAtStart = front_end().shift_held();
        frmMain.LayOutAtStartUp();

        CommandDispatcher dispatcher(run, job);
        dispatcher.HandleCommandline(strCommand);
        lib_basDisplay::lib_SetBusy(false);

        if (!dispatcher.RunEnded() && frmMain.ListVisible()) {
            frmMain.SetLabelCaption(MainLabel::lblDisplay, "Errors encountered");
            return WindowsAfterRun::errors_shown;
        }
    } catch (...) {
        ReportTrappedError("Form_Load");
    }
    return Form_Unload();
}

WindowsAfterRun Form_Unload() {
    return lib_basDisplay::lib_FormIsLoaded(kSyntaxWindow) ? WindowsAfterRun::syntax_only : WindowsAfterRun::closed;
}

}  // namespace quillet
