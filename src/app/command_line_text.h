#pragma once
// The command line as the program reads it: the argument text after the program's
// name, rebuilt from the arguments the system hands over one by one.

#include <optional>
#include <string>
#include <vector>

namespace quillet {

// The arguments joined with single blanks; an argument that is empty or holds a
// blank or a tab is wrapped in double quotes, so that it splits back into one part.
std::string CommandLineText(const std::vector<std::string>& arguments);

// The first password option (/Z= or /C=) among the arguments that would not reach
// the job as given: in the line, double quotes are syntax, a part loses the blanks
// at its ends, and bytes that are not UTF-8 are read as Windows-1252. Named by its
// option ("/Z"), never by its text.
std::optional<std::string> PasswordThatCannotPass(const std::vector<std::string>& arguments);

}  // namespace quillet
