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

// "/Z" when a line would not hand its /Z password to the job as written: its
// double quotes are syntax, so a quote anywhere but around the whole part or the
// whole value is dropped, the part loses the blanks at its ends, a NUL ends the
// password, and a quote left open in an earlier part takes the option in. (A
// changed /C password fails loudly where it is used.)
std::optional<std::string> PasswordThatTheLineChanges(std::string_view line);

// The first password option (/Z= or /C=) among the program's arguments that would
// not reach the job as given: the line that joins them takes double quotes as
// syntax and trims each part's blanks, and has bytes that are not UTF-8 read as
// Windows-1252. Named by its option ("/Z"), never by its text. The line itself,
// as every line, is judged by PasswordThatTheLineChanges.
std::optional<std::string> PasswordThatCannotPass(const std::vector<std::string>& arguments);

}  // namespace quillet
