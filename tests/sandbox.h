#pragma once
// A place for the program to run in: a fresh folder that holds the files a test
// snapshots, the snapshots themselves, and the home, trash and temporary folder of
// the run, so that nothing outside it is touched. The program runs as a separate
// process in the console front end: the one built beside the tests, or the one
// QUILLET_E2E_PROGRAM names; with QUILLET_E2E_WINE naming Wine's loader, that is
// the Windows build's quillet.exe, run under Wine in the prefix WINEPREFIX names.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/files.h"

namespace quillet::end_to_end {

using Lines = std::vector<std::string>;

struct Outcome {
    int status = -1;  // the exit status, 128 + its number when a signal ended the program
    std::string out;  // standard output: message rows and the syntax
    std::string err;  // standard error: message boxes

    friend bool operator==(const Outcome&, const Outcome&) = default;
    friend void PrintTo(const Outcome& outcome, std::ostream* to) {
        *to << "status " << outcome.status << "\nout: " << outcome.out << "\nerr: " << outcome.err;
    }
};

// Named as run() is given it: {.clock = "2010-09-30 09:00:00", .input = "yes\n"}.
struct RunOptions {
    // The local time the program starts at ("2010-09-30 09:00:00"), or the real clock.
    std::optional<std::string> clock{};
    // What standard input holds: the answers to the questions.
    std::string input{};
    bool shift = false;
    // A command the program is started through, with its arguments: a time limit,
    // another user.
    std::vector<std::string> through{};
};

// A time limit to start the program through: it is killed after that many seconds
// (status 137), so that a run that would never end fails its test instead of hanging it.
inline Lines within(int seconds) { return {"timeout", "--signal=KILL", std::to_string(seconds)}; }

// The scratch folder's native(), read(), exists() and write() name places inside it.
class Sandbox : public testing::ScratchFolder {
public:
    Sandbox();

    // The program's path text of a place inside (Z:\...), made here: the end-to-end
    // tests do not link the program's platform layer.
    std::string text(const std::string& relative = {}) const;

    using ScratchFolder::write;
    // A file whose content is its own name.
    void write(const std::string& relative) const { write(relative, native(relative).filename().string()); }
    void make_folder(const std::string& relative) const { std::filesystem::create_directories(native(relative)); }
    // Sets a file's last write time to a local date and time ("2010-09-29 23:59").
    void set_write_time(const std::string& relative, const std::string& local_time) const;

    // Everything below a folder, sorted, relative to it; folders end in "/".
    Lines tree(const std::string& relative) const;
    // The names in a folder, sorted; none when it is missing. Read while the program
    // changes the folder, so nothing here throws.
    Lines names(const std::string& relative) const;
    // The names of what the run moved to the trash.
    Lines trashed() const { return names("home/.local/share/Trash/files"); }

    // Runs the program with these arguments and waits for it to end.
    Outcome run(const Lines& arguments, const RunOptions& options = {}) const;
};

// Whether the program under test is the Windows build run under Wine: a test that
// needs what Wine does not give skips itself, saying what.
bool under_wine();

// The lines of a text, without their line ends.
Lines lines_of(const std::string& text);

}  // namespace quillet::end_to_end
