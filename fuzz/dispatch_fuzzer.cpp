// The dispatcher on arbitrary line text, as the program's command line or a line
// of a command file reaches it: comments, the syntax request, command files and
// jobs. A job runs its options phase only (reading, checks and the Shift
// questions, answered with Cancel): the phases after it create folders and copy
// and delete files, which no fuzz input may do. The command files a line may name
// are the few in fuzz/command_files, the current folder while the fuzzer runs; a
// line naming any other file is not run, so that no input can read a device or
// stall on a large file of the machine.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_dispatcher.h"
#include "job/job_options.h"
#include "text/error.h"
#include "text/tokenizer.h"
#include "ui/models/main_window.h"
#include "ui/models/msgbox_window.h"
#include "support/recording_front_end.h"
#include "ui/reporting.h"

namespace {

using namespace quillet;

// /D counts back from a fixed day, so that an input replays the same way.
constexpr Date kToday = 46023.0;  // 2026-01-01

[[noreturn]] void finding(std::string_view what) {
    std::fprintf(stderr, "dispatch_fuzzer: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

// A failure that is not one of the program's errors is a fault the program only
// reports as internal: here it stops the fuzzer instead.
void read_options_only(const std::string& line, RunState& run) {
    try {
        ReadJobOptions(line, run, kToday);
    } catch (const Error&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        finding(std::string("job options: ") + error.what());
    }
}

// An error report with the number of a failure that is not one of the program's
// errors: "An error has occurred in <source>", a blank line, then "(51) ".
bool reports_internal_error(const std::string& text) {
    if (!text.starts_with("An error has occurred in ")) return false;
    const std::size_t number = text.find("\r\n\r\n");
    return number != std::string::npos && text.compare(number + 4, 5, "(51) ") == 0;
}

// Boxes are laid out as the windows would show them; an internal error the
// dispatcher trapped, or a reporter that failed, is a finding.
class FuzzFrontEnd : public testing::RecordingFrontEnd {
public:
    void show_message_box(MsgBoxWindow& box) override {
        if (reports_internal_error(box.Text())) finding(box.Text());
        RecordingFrontEnd::show_message_box(box);
    }
    void show_fatal_error(const std::string& text) override { finding(text); }
};

// A plain name names a file of the current folder: a fixture, or nothing.
bool is_plain_name(std::string_view name) {
    if (name.empty() || name.front() == '.') return false;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!plain) return false;
    }
    return true;
}

// The dispatcher's own reading of the line: the file it would open as a command
// file must be a fixture (or none, for the syntax and for refused lines).
bool opens_only_fixtures(const std::string& line) {
    std::vector<std::string> parts;
    try {
        parts = lib_basConversion::lib_GetLineParts3(line, lib_basConversion::kBlanksAndTabs, 10);
    } catch (const Error&) {
        return true;  // too many parts: the line is refused whole
    }
    const bool command_file = parts.size() < 2 || parts[1].starts_with('/');
    return !command_file || parts.empty() || parts[0].empty() || is_plain_name(parts[0]);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::current_path(QUILLET_FUZZ_COMMAND_FILES);
    ShowErrorDetails = true;  // reports carry the error's number, for the check above
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    if (!opens_only_fixtures(line)) return -1;  // not kept in the corpus

    FuzzFrontEnd screen;
    const FrontEndScope installed(screen);
    frmMain.MessagesInit();
    RunState run;
    // Held Shift makes the first job that passes its checks ask its questions.
    run.ShiftKeyAtStart = true;
    CommandDispatcher dispatcher(run, read_options_only);
    dispatcher.HandleCommandline(line);
    return 0;
}
