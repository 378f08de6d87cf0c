#pragma once
// A hint for the two mistakes new users make on a Linux command line: a Linux
// path where Windows path text belongs (/home/ann/Data/*.* reads as options),
// and a path whose backslashes an unquoted shell argument has eaten
// (Z:homeannData). The terminal shows it after the program's own message.

#include <optional>
#include <string>
#include <vector>

namespace quillet {

// How to write the paths, when the arguments show one of the two mistakes.
std::optional<std::string> CommandLineHint(const std::vector<std::string>& arguments);

}  // namespace quillet
