#pragma once
// A process's mark: what tells it from every other process that ran on this
// machine, even one that got the same id later or in another boot.

#include <string>
#include <string_view>

namespace quillet::platform::posix {

// This process's mark, one line of text.
std::string current_process_mark();

enum class MarkedProcess {
    lives,
    gone,
    unknown,  // not a mark, or nothing can be told about it
};
MarkedProcess marked_process(std::string_view mark);

}  // namespace quillet::platform::posix
