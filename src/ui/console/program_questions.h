#pragma once
// The arguments that ask about the program instead of naming a job, as users of
// any Linux tool type them: --help, -h and /? print the syntax, --version the
// program's name and version. Each must be the only argument; anything else is
// the program's own command line.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

// Answers such a question on out and gives the exit status, 1 when out failed (a
// full disk, a closed output); empty when the arguments ask for something else.
std::optional<int> AnswerProgramQuestion(const std::vector<std::string>& arguments, std::ostream& out);

}  // namespace quillet
