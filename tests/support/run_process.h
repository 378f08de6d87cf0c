#pragma once
// Runs a program for a test, with its standard streams on pipes or with standard
// input and error on a pseudo-terminal, and collects what it wrote.
//
// POSIX only (pipes, posix_spawn, a pseudo-terminal): the Windows build leaves out
// the tests that use it, the console tests (src/ui/CMakeLists.txt) and the
// end-to-end tests (tests/sandbox.cpp).

#include <string>
#include <vector>

namespace quillet::testing {

struct ProcessResult {
    std::string out;
    std::string err;  // on a terminal: everything the terminal showed
    int status = -1;  // the exit status; 128 + its number when a signal ended the program
};

// Standard input is fed `input` and then closed; no terminal is involved.
ProcessResult RunWithPipes(const std::vector<std::string>& args, const std::string& input,
                           const std::vector<std::string>& environment = {});

// The same in exactly `environment`, with no time limit, the program looked up on
// PATH when it names no folder.
ProcessResult RunInEnvironment(const std::vector<std::string>& args, const std::string& input,
                               const std::vector<std::string>& environment);

// Something to type once the terminal shows `after`; with `unechoed`, only once
// the terminal has stopped echoing.
struct Keystrokes {
    std::string after;
    std::string type;
    bool unechoed = false;
};

// Standard input and error share one pseudo-terminal of the given width; standard
// output is a pipe.
ProcessResult RunOnTerminal(const std::vector<std::string>& args, const std::vector<Keystrokes>& keystrokes,
                            unsigned short columns = 0);

}  // namespace quillet::testing
