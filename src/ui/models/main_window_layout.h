#pragma once
// The main window's controls in twips, as its model places them.

#include <cstdint>

#include "ui/geometry.h"

namespace quillet {

// The window's outer size as designed, borders and title bar included.
inline constexpr std::int32_t kMainDesignWidth = 7200;
inline constexpr std::int32_t kMainDesignHeight = 1935;
// The narrowest the window ever becomes.
inline constexpr std::int32_t kMainMinimumWidth = 4830;
// One message row; the list and the window grow by it for each of the first rows.
inline constexpr std::int32_t kMessageRowHeight = 225;
inline constexpr std::int32_t kMessageRowsShown = 7;

struct MainWindowLayout {
    TwipRect window{0, 0, kMainDesignWidth, kMainDesignHeight};  // on the screen
    // Controls, in the window's client area.
    TwipRect lblDisplay{3510, 120, 75, 195};
    TwipRect lblSizingMsg{3570, 990, 60, 195};
    TwipRect lvwMessages{0, 825, 7200, 255};
    TwipRect lblCopyrightBG{0, 1245, 7200, 285};
    TwipRect lblCopyright{1358, 1290, 4365, 225};
    TwipRect imgCopyright{2475, 1257, 2250, 270};  // a 150 x 18 pixel picture
    bool list_visible = false;

    friend bool operator==(const MainWindowLayout&, const MainWindowLayout&) = default;
};

}  // namespace quillet
