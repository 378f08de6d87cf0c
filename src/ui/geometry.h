#pragma once
// Measures of windows and controls. Window placement works in screen pixels, as
// the system's rectangles do; the window models lay controls out in twips.

#include <cstdint>

namespace quillet {

// 1/1440 inch: 15 twips to a pixel at the usual 96 dots per inch.
inline constexpr std::int32_t kTwipsPerPixel = 15;

// A rectangle in screen pixels, laid out as the system's own.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A control's or window's place and size in twips, as forms measure them.
struct TwipRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    std::int32_t bottom() const { return top + height; }
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

}  // namespace quillet
