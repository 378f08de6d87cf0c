#pragma once
// The command syntax and its window, shown for an unusable command line or an
// unknown option.

#include <string>

namespace quillet {

// The syntax text, lines separated by CR LF, naming the program as program_name.
std::string SyntaxText(const std::string& program_name);

// "Quillet Syntax   v2.3a" and ten blanks; setting it as a title adds one more.
std::string SyntaxWindowTitle(int major, int minor, int revision);

// The program's name as the syntax shows it: its file name without ".exe".
std::string ProgramNameForSyntax(const std::string& executable_file_name);

// Builds the syntax for the running program and shows its window without waiting.
void ShowSyntax();

}  // namespace quillet
