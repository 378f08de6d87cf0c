#include "text/wildcard.h"

#include <utility>

#include "text/unicode.h"

namespace quillet {

namespace {

constexpr std::size_t kNone = std::u32string_view::npos;

bool in_range(char32_t c, char32_t low, char32_t high) { return low <= c && c <= high; }

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern, CaseMode mode, WildcardSyntax syntax) : mode_(mode) {
    const std::u32string code_points = unicode::decode(pattern);
    const std::u32string_view rest(code_points);
    const bool full = syntax == WildcardSyntax::full;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char32_t c = rest[i];
        if (c == U'*') {
            add_token({.kind = Token::Kind::star});
        } else if (c == U'?') {
            add_token({.kind = Token::Kind::any_one});
        } else if (full && c == U'#') {
            add_token({.kind = Token::Kind::digit});
        } else if (full && c == U'[') {
            const std::size_t close = read_list(rest, i);
            if (close == kNone) {
                add_token({.kind = Token::Kind::literal, .literal = c});
            } else {
                i = close;
            }
        } else {
            const char32_t literal = mode_ == CaseMode::ignore_case ? unicode::to_upper(c) : c;
            add_token({.kind = Token::Kind::literal, .literal = literal});
        }
    }
}

// Reads the list that opens at `open` and returns the position of its "]", or kNone
// when the list is never closed (the "[" then stands for itself).
std::size_t WildcardPattern::read_list(std::u32string_view pattern, std::size_t open) {
    std::size_t first = open + 1;
    const bool negated = first < pattern.size() && pattern[first] == U'!';
    if (negated) ++first;
    const std::size_t close = pattern.find(U']', first);
    if (close == kNone) return kNone;

    Token token{.kind = Token::Kind::list, .negated = negated};
    for (std::size_t i = first; i < close; ++i) {
        const bool is_range = i + 2 < close && pattern[i + 1] == U'-';
        if (is_range) {
            token.ranges.push_back({pattern[i], pattern[i + 2]});
            i += 2;
        } else {
            token.ranges.push_back({pattern[i], pattern[i]});
        }
    }
    // "[]" matches zero characters, so it adds nothing to the pattern.
    if (!token.ranges.empty() || negated) add_token(std::move(token));
    return close;
}

void WildcardPattern::add_token(Token token) {
    if (token.kind == Token::Kind::star) {
        if (!tokens_.empty() && tokens_.back().kind == Token::Kind::star) return;
    } else {
        matches_everything_ = false;
    }
    tokens_.push_back(std::move(token));
}

bool WildcardPattern::list_matches(const Token& token, char32_t c) const {
    bool found = false;
    if (mode_ == CaseMode::exact) {
        for (const Range& range : token.ranges) found = found || in_range(c, range.low, range.high);
    } else {
        const char32_t upper = unicode::to_upper(c);
        for (const Range& range : token.ranges) {
            found = found || in_range(c, range.low, range.high) ||
                    in_range(upper, unicode::to_upper(range.low), unicode::to_upper(range.high));
        }
    }
    return found != token.negated;
}

bool WildcardPattern::token_matches(const Token& token, char32_t c) const {
    switch (token.kind) {
        case Token::Kind::literal:
            return token.literal == (mode_ == CaseMode::ignore_case ? unicode::to_upper(c) : c);
        case Token::Kind::any_one:
            return true;
        case Token::Kind::digit:
            return c >= U'0' && c <= U'9';
        case Token::Kind::list:
            return list_matches(token, c);
        case Token::Kind::star:
            break;
    }
    return false;
}

bool WildcardPattern::matches(std::string_view text) const {
    if (matches_everything_) return true;
    return matches(unicode::decode(text));
}

// Every token but the star takes exactly one character, so on a mismatch it is
// enough to let the most recent star take one character more: the text before
// that star has already been matched as early as it can be. That keeps the work
// at text length times pattern length, however many stars there are.
bool WildcardPattern::matches(std::u32string_view text) const {
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t star = kNone;
    std::size_t star_text = 0;
    while (t < text.size()) {
        if (p < tokens_.size() && tokens_[p].kind == Token::Kind::star) {
            star = p++;
            star_text = t;
        } else if (p < tokens_.size() && token_matches(tokens_[p], text[t])) {
            ++p;
            ++t;
        } else if (star != kNone) {
            p = star + 1;
            t = ++star_text;
        } else {
            return false;
        }
    }
    while (p < tokens_.size() && tokens_[p].kind == Token::Kind::star) ++p;
    return p == tokens_.size();
}

bool wildcard_match(std::string_view text, std::string_view pattern, CaseMode mode) {
    return WildcardPattern(pattern, mode).matches(text);
}

// Two searches for one character each: find_first_of would search its set once
// for every character of the text, and paths are asked this for every file copied.
bool holds_search_wildcards(std::string_view text) {
    return text.find('*') != std::string_view::npos || text.find('?') != std::string_view::npos;
}

}  // namespace quillet
