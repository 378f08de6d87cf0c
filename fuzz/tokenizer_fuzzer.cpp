// The tokenizer with every class of special characters and every flag chosen by
// the input, beyond the few the program passes itself, and lib_GetToken with any
// delimiter. Checks the parts array contract: the count fits the array, index 0
// and the entries above the count stay as they were, trimmed parts have no outer
// blanks; and that a token and the text left are the front and the back of the
// text it was cut from.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "text/error.h"
#include "text/tokenizer.h"
#include "text/unicode.h"

namespace {

using namespace quillet;

const std::string kUntouched = "\x01untouched";

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "tokenizer_fuzzer: %s\n", what);
    std::abort();
}

struct Classes {
    std::string delims, kept_delims, line_ends, kept_line_ends, comments, groups, quotes, brackets;
};

Classes read_classes(FuzzedDataProvider& input) {
    constexpr std::size_t kLongest = 6;
    Classes c;
    for (std::string* text : {&c.delims, &c.kept_delims, &c.line_ends, &c.kept_line_ends, &c.comments, &c.groups,
                              &c.quotes, &c.brackets}) {
        *text = input.ConsumeRandomLengthString(kLongest);
    }
    return c;
}

struct Flags {
    bool delims_mod, line_ends_mod, groups_mod, pairs_join, pairs_nest, trim, with_locations;
    bool honour_quotes, strip_quotes;
    std::size_t parts_size, locations_size;
};

Flags read_flags(FuzzedDataProvider& input) {
    Flags f{};
    for (bool* flag : {&f.delims_mod, &f.line_ends_mod, &f.groups_mod, &f.pairs_join, &f.pairs_nest, &f.trim,
                       &f.with_locations, &f.honour_quotes, &f.strip_quotes}) {
        *flag = input.ConsumeBool();
    }
    f.parts_size = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    f.locations_size = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    return f;
}

void check_line_parts(const std::string& line, const Classes& c, const Flags& f) {
    std::vector<std::string> parts(f.parts_size, kUntouched);
    std::vector<std::int16_t> locations(f.locations_size, -1);
    std::int16_t count = 0;
    try {
        count = lib_basConversion::lib_GetLineParts3(line, parts, c.delims, c.kept_delims, f.delims_mod, c.line_ends,
                                                     c.kept_line_ends, f.line_ends_mod, c.comments, c.groups,
                                                     f.groups_mod, c.quotes, c.brackets, f.pairs_join, f.pairs_nest,
                                                     f.trim, f.with_locations ? &locations : nullptr);
    } catch (const Error&) {
        return;
    }
    require(count >= 0 && (count == 0 || static_cast<std::size_t>(count) < parts.size()),
            "more parts than the array holds");
    require(parts.empty() || parts[0] == kUntouched, "index 0 was written");
    for (std::size_t i = static_cast<std::size_t>(count) + 1; i < parts.size(); ++i) {
        require(parts[i] == kUntouched, "an entry above the count was written");
    }
    for (std::size_t i = 1; i <= static_cast<std::size_t>(count); ++i) {
        if (f.trim) require(!parts[i].starts_with(' ') && !parts[i].ends_with(' '), "a trimmed part has outer blanks");
        if (f.with_locations) require(locations[i] >= 1, "a part has no position");
    }
}

// The class 3 text serves as the delimiter. Text that is not UTF-8 comes back
// read as Windows-1252, so only UTF-8 text is cut into pieces of itself.
void check_token(const std::string& text, const std::string& delimiter, const Flags& f) {
    std::string rest = text;
    const std::string token = lib_basConversion::lib_GetToken(rest, delimiter, f.honour_quotes, f.strip_quotes);
    if (!unicode::is_valid_utf8(text)) return;
    require(text.ends_with(rest), "the text left is not the back of the text");
    if (!f.strip_quotes) {
        require(text.starts_with(token), "the token is not the front of the text");
        require(token.size() + rest.size() <= text.size(), "the token and the text left overlap");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The classes from the front, the flags from the back, the line in between.
    FuzzedDataProvider input(data, size);
    const Classes classes = read_classes(input);
    const Flags flags = read_flags(input);
    const std::string line = input.ConsumeRemainingBytesAsString();
    check_line_parts(line, classes, flags);
    check_token(line, classes.delims, flags);
    return 0;
}
