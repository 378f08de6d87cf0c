#pragma once
// The command line as the program reads it: the argument text after the program's
// name, rebuilt from the arguments the system hands over one by one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The arguments joined with single blanks; an argument that is empty or holds a
// blank or a tab is wrapped in double quotes, so that it splits back into one part.
std::string CommandLineText(const std::vector<std::string>& arguments);

// The first password option (/Z= or /C=) of a line that would not reach the job
// as written: its double quotes are syntax, so a quote anywhere but around the
// whole part or the whole value is dropped, and the part loses the blanks at its
// ends. Named by its option ("/Z"), never by its text.
std::optional<std::string> PasswordThatTheLineChanges(std::string_view line);

// The same for the arguments the program was given, each as CommandLineText
// writes it; and bytes that are not UTF-8 have the line read as Windows-1252.
std::optional<std::string> PasswordThatCannotPass(const std::vector<std::string>& arguments);

}  // namespace quillet
