#pragma once
// Whether the tests run under Wine, which lacks some of what Windows gives: a test
// that needs it skips itself there (GTEST_SKIP) and says what is missing.

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet::testing {

inline bool running_under_wine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

}  // namespace quillet::testing
