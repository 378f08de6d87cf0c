#pragma once
// Window placement and titles: centring a window on the work area, setting and
// reading titles, asking whether a window is loaded.

#include <cstdint>
#include <string>

#include "ui/geometry.h"
#include "ui/windows.h"

namespace quillet::lib_basDisplay {

// A window that can be placed: its outer rectangle on the screen, in pixels.
class Form {
public:
    virtual ~Form() = default;
    virtual Rect WindowRect() const = 0;
    virtual void MoveWindow(const Rect& rect) = 0;
};

// The window's rectangle moved so that the free width is divided by
// horizontal_divisor to its left and the free height by vertical_divisor above it,
// counted from the screen's origin, never above or left of it; a divisor of 0 or
// less leaves that axis alone.
Rect CentredRect(const Rect& window, const Rect& work_area, std::int16_t vertical_divisor,
                 std::int16_t horizontal_divisor);

// Places the form with CentredRect on the front end's work area. Errors are
// raised again with the source "Base7.lib_CentreForm".
void lib_CentreForm(Form& form, std::int16_t vertical_divisor, std::int16_t horizontal_divisor);

// The title as lib_SetWindowTitle sets it: the minimised text while minimised (when
// there is one), else the text, and one blank after it.
std::string WindowTitleText(const std::string& text, const std::string& minimised_text, bool minimised);
void lib_SetWindowTitle(const std::string& text, const std::string& minimised_text, WindowHandle window);
std::string lib_GetWindowTitle(WindowHandle window);

bool lib_FormIsLoaded(WindowHandle window);

}  // namespace quillet::lib_basDisplay
