#include "platform/case_mapping.h"

#include <glib.h>

namespace quillet::platform {

char32_t simple_upper_case(char32_t c) {
    return g_unichar_toupper(static_cast<gunichar>(c));
}

}  // namespace quillet::platform
