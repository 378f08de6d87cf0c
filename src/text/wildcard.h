#pragma once
// The wildcard match used to pick files by name and to exclude paths:
//   *      any run of characters, none included, backslashes included
//   ?      any one character
//   #      any one digit 0-9
//   [a-z]  any one character of the list; ranges allowed, "-" first or last is itself
//   [!a-z] any one character not in the list
// Every other character matches itself. Characters are code points, not bytes.
//
// Patterns that the language would refuse are read generously instead of failing:
// a "[" without a closing "]" stands for itself, "[]" matches nothing (zero
// characters), "[!]" matches any one character, and a range written backwards
// ("[z-a]") holds no character.

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum class CaseMode { exact, ignore_case };

// The host's own file search knows only "*" and "?"; there "#" and "[" are
// ordinary characters of a name.
enum class WildcardSyntax { full, stars_and_question_marks };

// A pattern read once and matched against many names.
class WildcardPattern {
public:
    WildcardPattern(std::string_view pattern, CaseMode mode, WildcardSyntax syntax = WildcardSyntax::full);

    bool matches(std::string_view text) const;
    bool matches(std::u32string_view text) const;
    // True when the pattern is nothing but stars, so every text matches.
    bool matches_everything() const { return matches_everything_; }

private:
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Token {
        enum class Kind { literal, any_one, digit, list, star };
        Kind kind;
        char32_t literal = 0;
        bool negated = false;
        std::vector<Range> ranges = {};
    };

    std::size_t read_list(std::u32string_view pattern, std::size_t open);
    void add_token(Token token);
    bool token_matches(const Token& token, char32_t c) const;
    bool list_matches(const Token& token, char32_t c) const;

    CaseMode mode_;
    std::vector<Token> tokens_;
    bool matches_everything_ = true;
};

bool wildcard_match(std::string_view text, std::string_view pattern, CaseMode mode);

// True when the text holds "*" or "?", the wildcards the host's file search knows:
// such a path names a search rather than one file.
bool holds_search_wildcards(std::string_view text);

}  // namespace quillet
