#include "text/line_breaks.h"

namespace quillet {

std::string ReplaceLineBreaks(std::string_view text, char replacement) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        result += (c == '\r' || c == '\n') ? replacement : c;
    }
    return result;
}

}  // namespace quillet
