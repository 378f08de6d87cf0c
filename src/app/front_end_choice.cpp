#include "app/front_end_choice.h"

#include "platform/platform.h"
#include "text/unicode.h"

namespace quillet {

namespace {

#ifdef QUILLET_WINDOW_FRONT_END
constexpr bool kWindowFrontEndBuilt = true;
#else
constexpr bool kWindowFrontEndBuilt = false;
#endif

bool is_set(const std::optional<std::string>& value) { return value && !value->empty(); }

// A display server the window front end could reach.
bool display_available() {
    return is_set(platform::environment_variable("DISPLAY")) ||
           is_set(platform::environment_variable("WAYLAND_DISPLAY"));
}

}  // namespace

FrontEndKind ChooseFrontEnd(const std::optional<std::string>& requested, bool display_available,
                            bool window_front_end_built) {
    if (!window_front_end_built) return FrontEndKind::console;
    if (requested && unicode::equal_ignoring_case(*requested, "console")) return FrontEndKind::console;
    if (requested && unicode::equal_ignoring_case(*requested, "window")) return FrontEndKind::window;
    return display_available ? FrontEndKind::window : FrontEndKind::console;
}

bool WindowsAskedForButNotBuilt() {
    const auto requested = platform::environment_variable("QUILLET_UI");
    return !kWindowFrontEndBuilt && requested && unicode::equal_ignoring_case(*requested, "window");
}

FrontEndKind ChooseFrontEndForRun() {
    return ChooseFrontEnd(platform::environment_variable("QUILLET_UI"), display_available(), kWindowFrontEndBuilt);
}

}  // namespace quillet
