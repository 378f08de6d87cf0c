#pragma once
// The host's Unicode tables, for the one thing the text layer cannot carry itself:
// the simple upper-case mapping of a code point. It stands apart from the rest of
// the platform layer (its own library, quillet_case_mapping, which depends on
// nothing of the project), so that src/text can use it and still lie below platform.

namespace quillet::platform {

// The simple (one code point to one code point) upper case of c, as the host's
// tables have it; c itself where it has none, or where c is not a Unicode scalar value.
char32_t simple_upper_case(char32_t c);

}  // namespace quillet::platform
