// The tokenizer with any ASCII delimiters and any capacity, and lib_GetToken with any
// delimiter. Checks what its callers rely on: no more parts than they take, parts
// trimmed and free of quotes, a part of a line without quotes free of delimiters,
// UTF-8 text cut only between characters, the parts as written cut at the same
// places; and that a token and the text left are the front and the back of the
// text it was cut from.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/error.h"
#include "text/tokenizer.h"
#include "text/unicode.h"

namespace {

using namespace quillet;

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "tokenizer_fuzzer: %s\n", what);
    std::abort();
}

void check_line_parts(const std::string& line, const std::string& delimiters, std::size_t max_parts) {
    std::vector<std::string> parts;
    try {
        parts = lib_basConversion::split_line(line, delimiters, max_parts);
    } catch (const Error&) {
        return;
    }
    require(parts.size() <= max_parts, "more parts than the caller takes");
    const bool quoted = line.find('"') != std::string::npos;
    const bool utf8 = unicode::is_valid_utf8(line);
    for (const std::string& part : parts) {
        require(!part.starts_with(' ') && !part.ends_with(' '), "a part has outer blanks");
        require(part.find('"') == std::string::npos, "a part holds a quote");
        if (!quoted) require(part.find_first_of(delimiters + '\0') == std::string::npos, "a part holds a delimiter");
        if (utf8) require(unicode::is_valid_utf8(part), "a character was cut in two");
    }
}

// The parts of a command line as written cut where the split cuts it: each splits
// into one part at most, and together they give the line's parts.
void check_written_parts(const std::string& line) {
    using lib_basConversion::kBlanksAndTabs;
    using lib_basConversion::split_line;
    std::vector<std::string> from_written;
    try {
        for (const std::string_view written : lib_basConversion::written_parts(line)) {
            std::vector<std::string> parts = split_line(written, kBlanksAndTabs);
            require(parts.size() <= 1, "a part as written holds several");
            for (std::string& part : parts) from_written.push_back(std::move(part));
        }
        require(from_written == split_line(line, kBlanksAndTabs), "the parts as written are cut elsewhere");
    } catch (const Error&) {
        // more parts than a count holds
    }
}

// Text that is not UTF-8 comes back read as Windows-1252, so only UTF-8 text is
// cut into pieces of itself.
void check_token(const std::string& text, const std::string& delimiter, bool honour_quotes, bool strip_quotes) {
    std::string rest = text;
    const std::string token = lib_basConversion::lib_GetToken(rest, delimiter, honour_quotes, strip_quotes);
    if (!unicode::is_valid_utf8(text)) return;
    require(text.ends_with(rest), "the text left is not the back of the text");
    if (!strip_quotes) {
        require(text.starts_with(token), "the token is not the front of the text");
        require(token.size() + rest.size() <= text.size(), "the token and the text left overlap");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The delimiters and flags from the front, the line after them.
    FuzzedDataProvider input(data, size);
    // Every caller splits at ASCII characters (blanks and tabs, commas, backslashes);
    // the tokenizer works on bytes on that promise.
    std::string delimiters = input.ConsumeRandomLengthString(6);
    std::erase_if(delimiters, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const auto max_parts = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    const bool honour_quotes = input.ConsumeBool();
    const bool strip_quotes = input.ConsumeBool();
    const std::string line = input.ConsumeRemainingBytesAsString();
    check_line_parts(line, delimiters, max_parts);
    check_written_parts(line);
    check_token(line, delimiters, honour_quotes, strip_quotes);
    return 0;
}
