#pragma once
// The larger and the smaller of two values. A null (empty) value makes the result
// null, and on a tie the second value is the result.

#include <optional>

namespace quillet {

template <typename T>
T lib_Max(const T& a, const T& b) {
    return a > b ? a : b;
}

template <typename T>
T lib_Min(const T& a, const T& b) {
    return a < b ? a : b;
}

template <typename T>
std::optional<T> lib_Max(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b) return std::nullopt;
    return lib_Max(*a, *b);
}

template <typename T>
std::optional<T> lib_Min(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b) return std::nullopt;
    return lib_Min(*a, *b);
}

}  // namespace quillet
