#pragma once
// A process's mark: what tells it from every other process that ran on this
// machine, even one that got the same id later or in another boot, and tells
// which machine and process id namespace it ran in.

#include <string>
#include <string_view>

namespace quillet::platform::posix {

// This process's mark, one line of text.
std::string current_process_mark();

enum class MarkedProcess {
    lives,
    gone,
    unknown,  // not a mark, another machine's or namespace's, or nothing can be told
};
MarkedProcess marked_process(std::string_view mark);

}  // namespace quillet::platform::posix
