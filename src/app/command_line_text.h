#pragma once
// The command line as the program reads it: the argument text after the program's
// name, rebuilt from the arguments the system hands over one by one.

#include <string>
#include <vector>

namespace quillet {

// The arguments joined with single blanks; an argument that is empty or holds a
// blank or a tab is wrapped in double quotes, so that it splits back into one part.
std::string CommandLineText(const std::vector<std::string>& arguments);

}  // namespace quillet
