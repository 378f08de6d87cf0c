// The C library's Unicode tables, through the C.UTF-8 locale, which every glibc
// system carries. Loaded at the first character beyond ASCII: most runs never
// meet one, and those that do pay a file mapping, not a whole library.

#include "platform/case_mapping.h"

#include <locale.h>
#include <wctype.h>

#include <initializer_list>

namespace quillet::platform {

namespace {

// Null where the system has no UTF-8 locale of its own.
locale_t unicode_locale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (const locale_t found = ::newlocale(LC_CTYPE_MASK, name, locale_t{})) return found;
        }
        return locale_t{};
    }();
    return locale;
}

}  // namespace

char32_t simple_upper_case(char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
    const locale_t locale = unicode_locale();
    if (locale == locale_t{}) return c;
    return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
}

}  // namespace quillet::platform
