#include "ui/display.h"

#include <algorithm>

#include "text/error.h"
#include "ui/busy.h"
#include "ui/front_end.h"
#include "ui/reporting.h"

namespace quillet::lib_basDisplay {

Rect CentredRect(const Rect& window, const Rect& work_area, std::int16_t vertical_divisor,
                 std::int16_t horizontal_divisor) {
    Rect placed = window;
    // A window larger than the work area keeps its top left corner on the screen.
    if (horizontal_divisor > 0) {
        placed.left = std::max(0, (work_area.width() - window.width()) / horizontal_divisor);
        placed.right = placed.left + window.width();
    }
    if (vertical_divisor > 0) {
        placed.top = std::max(0, (work_area.height() - window.height()) / vertical_divisor);
        placed.bottom = placed.top + window.height();
    }
    return placed;
}

void lib_CentreForm(Form& form, std::int16_t vertical_divisor, std::int16_t horizontal_divisor) {
    const BusyScope busy;
    try {
        const Rect work_area = front_end().work_area();
        form.MoveWindow(CentredRect(form.WindowRect(), work_area, vertical_divisor, horizontal_divisor));
    } catch (const Error& error) {
        lib_ErrorHandler("Base7.lib_CentreForm", error.number(), error.description(), false);
        throw error.with_source("Base7.lib_CentreForm");
    }
}

std::string WindowTitleText(const std::string& text, const std::string& minimised_text, bool minimised) {
    const std::string& shown = (!minimised_text.empty() && minimised) ? minimised_text : text;
    return shown + " ";
}

void lib_SetWindowTitle(const std::string& text, const std::string& minimised_text, WindowHandle window) {
    if (!NamesAWindow(window)) return;
    FrontEnd& windows = front_end();
    windows.set_window_title(window, WindowTitleText(text, minimised_text, windows.is_minimised(window)));
}

std::string lib_GetWindowTitle(WindowHandle window) { return front_end().window_title(window).value_or(""); }

bool lib_FormIsLoaded(WindowHandle window) { return front_end().is_loaded(window); }

}  // namespace quillet::lib_basDisplay
