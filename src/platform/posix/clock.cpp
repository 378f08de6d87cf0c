// The clock: a tick count, the local time now, and the user's date and time
// separators, read from the locale without touching the process's own.

#include <langinfo.h>
#include <locale.h>

#include <chrono>
#include <ctime>
#include <string>

#include "platform/platform.h"

namespace quillet::platform {

std::uint32_t tick_count() {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
    return static_cast<std::uint32_t>(ms);  // keeps the low 32 bits, as the counter wraps
}

DateTime local_time_now() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return DateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                    parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

namespace {

// The first character of a strftime format that is neither a conversion nor a
// letter, such as "." in "%d.%m.%Y"; the fallback when there is none.
std::string first_separator(std::string_view format, std::string fallback) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%') {
            ++i;
            continue;
        }
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && c != ' ') return std::string(1, c);
    }
    return fallback;
}

// The user's own locale for dates and times, read without touching the process's
// global locale.
std::string separator_of(nl_item item, std::string fallback) {
    locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) return fallback;
    const std::string format = nl_langinfo_l(item, user);
    freelocale(user);
    return first_separator(format, std::move(fallback));
}

}  // namespace

std::string date_separator() { return separator_of(D_FMT, "/"); }

std::string time_separator() { return separator_of(T_FMT, ":"); }

}  // namespace quillet::platform
