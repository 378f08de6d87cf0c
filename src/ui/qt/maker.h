#pragma once
// Who makes the program, as its windows name it: the copyright strip of the main
// window and the About window.

namespace quillet::qt {

inline constexpr const char* kMakerName = "Quillet Software";
inline constexpr const char* kCopyrightLine = "\u00A9 Quillet Software";
inline constexpr const char* kWebAddress = "www.quillet.example";
inline constexpr const char* kEmailAddress = "info@quillet.example";

}  // namespace quillet::qt
