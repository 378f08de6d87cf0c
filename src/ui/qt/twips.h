#pragma once
// The window models measure in twips; the widgets are placed in pixels. The
// models were made for a small dialog font; with the desktop's font the whole
// layout grows (or shrinks) with it, so that it keeps its proportions.

#include <QRect>
#include <QSize>
#include <cmath>
#include <cstdint>

#include "ui/geometry.h"

namespace quillet::qt {

// Pixels on the screen for one pixel of the models' design: the desktop font's
// size over the design font's.
double WindowScale();

inline int ToPixels(std::int32_t twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * WindowScale() / kTwipsPerPixel));
}

inline std::int32_t ToTwips(int pixels) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(pixels) * kTwipsPerPixel / WindowScale()));
}

inline QRect ToPixels(const TwipRect& rect) {
    return QRect(ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width), ToPixels(rect.height));
}

}  // namespace quillet::qt
