#pragma once
// The window models measure in twips; the widgets are placed in pixels.

#include <QRect>
#include <QSize>
#include <cmath>
#include <cstdint>

#include "ui/geometry.h"

namespace quillet::qt {

inline int ToPixels(std::int32_t twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

inline std::int32_t ToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect ToPixels(const TwipRect& rect) {
    return QRect(ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.width), ToPixels(rect.height));
}

}  // namespace quillet::qt
