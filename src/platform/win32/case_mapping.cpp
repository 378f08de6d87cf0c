// Upper case as Windows maps it, in the invariant locale.

#include "platform/case_mapping.h"

#include <windows.h>

namespace quillet::platform {

// LCMapStringEx with the invariant locale upper-cases the UTF-16 form: one unit, or a
// surrogate pair for a code point beyond the Basic Multilingual Plane. A mapping that
// does not keep to one code point (none does in the simple mapping) leaves c as it is.
char32_t simple_upper_case(char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
    wchar_t source[2];
    int size = 1;
    if (c < 0x10000) {
        source[0] = static_cast<wchar_t>(c);
    } else {
        const char32_t offset = c - 0x10000;
        source[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
        source[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
        size = 2;
    }
    wchar_t upper[2];
    const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, source, size, upper, 2, nullptr,
                                      nullptr, 0);
    if (written == 1 && size == 1) return upper[0];
    if (written == 2 && size == 2 && upper[0] >= 0xD800 && upper[0] <= 0xDBFF && upper[1] >= 0xDC00 &&
        upper[1] <= 0xDFFF) {
        return 0x10000 + ((static_cast<char32_t>(upper[0]) - 0xD800) << 10) + (static_cast<char32_t>(upper[1]) - 0xDC00);
    }
    return c;
}

}  // namespace quillet::platform
