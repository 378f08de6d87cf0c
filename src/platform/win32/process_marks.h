#pragma once
// A process's mark: what tells it from every other process that ran on this
// machine, even one that got the same id later: its id, the moment it started
// (GetProcessTimes, to the 100 nanoseconds) and the machine's name.

#include <string>
#include <string_view>

namespace quillet::platform::win32 {

// This process's mark, one line of text.
std::string current_process_mark();

enum class MarkedProcess {
    lives,
    gone,
    unknown,  // not a mark, another machine's, or nothing can be told
};
MarkedProcess marked_process(std::string_view mark);

}  // namespace quillet::platform::win32
