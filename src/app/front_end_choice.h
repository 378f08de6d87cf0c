#pragma once
// Which front end serves the run: the window one or the console one.

#include <optional>
#include <string>

namespace quillet {

enum class FrontEndKind { window, console };

// QUILLET_UI ("window" or "console", case ignored) decides; without it, or with
// another value, the window front end is used when a display can be opened. The
// console one serves whenever no window front end is built into the program.
FrontEndKind ChooseFrontEnd(const std::optional<std::string>& requested, bool display_available,
                            bool window_front_end_built);

// The choice for this run, from the environment.
FrontEndKind ChooseFrontEndForRun();

// Whether QUILLET_UI asks for windows that this build cannot show (no window front
// end is built into it, as on Windows for now): the console serves, and says so.
bool WindowsAskedForButNotBuilt();

}  // namespace quillet
