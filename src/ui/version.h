#pragma once
// The program's title and version. The numbers come from the build (the project's
// VERSION and QUILLET_REVISION), so they are kept in one place.

#include <string>

namespace quillet {

inline constexpr const char* kProgramTitle = "Quillet";

int VersionMajor();
int VersionMinor();
// 0 for none; 1 shows as the letter a after the version, 2 as b, and so on.
int VersionRevision();

// The letter with code 96 + revision, or empty for revision 0.
std::string RevisionLetter(int revision);

// The version as the program shows it: "1.0a".
std::string VersionText();

}  // namespace quillet
