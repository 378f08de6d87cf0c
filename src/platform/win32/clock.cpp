// The clock: a tick count, the local time now, and the user's date and time
// separators from the regional settings.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

std::uint32_t tick_count() { return GetTickCount(); }

DateTime local_time_now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

namespace {

// The user's separator from the locale settings; the fallback when it names none.
std::string locale_separator(LCTYPE item, std::string fallback) {
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, separator, 8);
    if (length <= 1) return fallback;  // the length counts the closing NUL
    return win32::utf8(std::wstring_view(separator, static_cast<std::size_t>(length - 1)));
}

}  // namespace

std::string date_separator() { return locale_separator(LOCALE_SDATE, "/"); }

std::string time_separator() { return locale_separator(LOCALE_STIME, ":"); }

}  // namespace quillet::platform
