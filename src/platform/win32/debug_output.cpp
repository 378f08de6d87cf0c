// The debugger's output: OutputDebugStringW, which a debugger or DebugView shows.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

void debug_output(std::string_view line) {
    const std::wstring text = win32::wide(line) + L"\r\n";
    OutputDebugStringW(text.c_str());
}

}  // namespace quillet::platform
