#include "text/tokenizer.h"

#include <cstddef>
#include <limits>
#include <string_view>

#include "text/error.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet::lib_basConversion {

namespace {

constexpr const char* kSource = "Base7.lib_GetLineParts3";
constexpr std::size_t kMaxSpecialCharacters = 50;

enum class CharClass {
    Quote = 1,
    Bracket = 2,
    Delimiter = 3,
    KeptDelimiter = 4,
    LineEnd = 5,
    KeptLineEnd = 6,
    Comment = 7,
    Group = 8,
};

bool is_pair_class(CharClass cls) {
    return cls == CharClass::Quote || cls == CharClass::Bracket || cls == CharClass::Comment ||
           cls == CharClass::Group;
}

struct ClassEntry {
    char32_t character;
    CharClass cls;
    std::size_t pair = 0;    // which pair of the table, for the pair classes
    bool opens = false;      // the first character of its pair
    bool same_pair = false;  // the pair opens and closes with the same character

    bool closes(const ClassEntry& opener) const { return pair == opener.pair && (same_pair || !opens); }
};

Error library_error(const char* description) { return Error(kLibraryError, kSource, description); }

std::int16_t to_int16(std::size_t value) {
    if (value > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
        throw vb::error(vb::kOverflow, kSource);
    }
    return static_cast<std::int16_t>(value);
}

// The special characters of one call, in lookup order.
class ClassTable {
public:
    void add_singles(std::string_view text, CharClass cls) {
        for (const char32_t c : unicode::decode(text)) add(ClassEntry{c, cls});
    }

    void add_pairs(std::string_view text, CharClass cls) {
        const std::u32string chars = unicode::decode(text);
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const bool opens = i % 2 == 0;
            const bool same_pair = opens ? i + 1 < chars.size() && chars[i + 1] == chars[i] : chars[i - 1] == chars[i];
            add(ClassEntry{chars[i], cls, next_pair_ + i / 2, opens, same_pair});
        }
        if (chars.size() % 2 != 0) throw library_error("Uneven pair passed");
        next_pair_ += chars.size() / 2;
    }

    const ClassEntry* find(char32_t c) const {
        for (const ClassEntry& entry : entries_) {
            if (entry.character == c) return &entry;
        }
        return nullptr;
    }

private:
    void add(const ClassEntry& entry) {
        if (entries_.size() == kMaxSpecialCharacters) throw vb::error(vb::kSubscriptOutOfRange, kSource);
        entries_.push_back(entry);
    }

    std::vector<ClassEntry> entries_;
    std::size_t next_pair_ = 0;
};

struct Modifiers {
    bool delims;
    bool line_ends;
    bool groups;
    bool pairs_join;
    bool pairs_nest;
    bool trim;
};

std::u32string trim_blanks(std::u32string_view text) {
    const std::size_t first = text.find_first_not_of(U' ');
    if (first == std::u32string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(U' ');
    return std::u32string(text.substr(first, last - first + 1));
}

// Reads one line character by character and stores its parts as they end.
class LineSplitter {
public:
    LineSplitter(const ClassTable& table, const Modifiers& modifiers, std::vector<std::string>& parts,
                 std::vector<std::int16_t>* locations)
        : table_(table), modifiers_(modifiers), parts_(parts), locations_(locations) {}

    void read(char32_t c, std::size_t position) {
        const ClassEntry* entry = table_.find(c);
        if (!open_.empty()) return read_inside_pair(entry, c, position);
        if (entry == nullptr) return add(c, position);
        switch (entry->cls) {
            case CharClass::Quote:
            case CharClass::Bracket:
            case CharClass::Comment:
            case CharClass::Group:
                if (entry->opens) return open_pair(*entry, c, position);
                return stray_closing(*entry, c, position);
            case CharClass::Delimiter: return delimiter(modifiers_.delims, position);
            case CharClass::LineEnd: return delimiter(modifiers_.line_ends, position);
            case CharClass::KeptDelimiter: return kept_delimiter(modifiers_.delims, c, position);
            case CharClass::KeptLineEnd: return kept_delimiter(modifiers_.line_ends, c, position);
        }
    }

    // The end marker. Inside an open pair it would be plain text; it is dropped
    // instead, so that no NUL ever reaches a part.
    void finish(std::size_t position) {
        if (in_progress_ || empty_part_owed_ || quote_open()) end_part(position);
    }

    std::int16_t count() const { return count_; }

private:
    void read_inside_pair(const ClassEntry* entry, char32_t c, std::size_t position) {
        if (entry != nullptr && is_pair_class(entry->cls)) {
            if (entry->closes(*open_.back())) return close_pair(c, position);
            if (entry->opens && modifiers_.pairs_nest && open_.back()->cls != CharClass::Quote) {
                return open_pair(*entry, c, position);
            }
        }
        add_unless_comment(c, position);
    }

    void open_pair(const ClassEntry& opener, char32_t c, std::size_t position) {
        if (open_.empty() && ends_part_on_opening(opener.cls)) end_part_in_progress(position);
        open_.push_back(&opener);
        if (keeps_pair_characters(opener.cls)) add_unless_comment(c, position);
    }

    void close_pair(char32_t c, std::size_t position) {
        const CharClass cls = open_.back()->cls;
        if (keeps_pair_characters(cls)) add_unless_comment(c, position);
        open_.pop_back();
        if (open_.empty() && ends_part_on_closing(cls)) end_part_in_progress(position);
    }

    // A closing character with no open pair: kept where pair characters are kept.
    void stray_closing(const ClassEntry& entry, char32_t c, std::size_t position) {
        if (keeps_pair_characters(entry.cls)) add(c, position);
    }

    void delimiter(bool merge_runs, std::size_t position) {
        if (merge_runs) return end_part_in_progress(position);
        end_part(position);
        empty_part_owed_ = true;
    }

    void kept_delimiter(bool append, char32_t c, std::size_t position) {
        if (!append) end_part_in_progress(position);
        add(c, position);
        end_part(position);
    }

    static bool keeps_pair_characters(CharClass cls) { return cls == CharClass::Bracket || cls == CharClass::Group; }

    bool ends_part_on_opening(CharClass cls) const {
        if (cls == CharClass::Comment) return modifiers_.groups || !modifiers_.pairs_join;
        if (cls == CharClass::Group) return !modifiers_.groups;
        return !modifiers_.pairs_join;
    }

    bool ends_part_on_closing(CharClass cls) const {
        if (cls == CharClass::Group) return true;
        return ends_part_on_opening(cls);
    }

    bool quote_open() const {
        for (const ClassEntry* opener : open_) {
            if (opener->cls == CharClass::Quote) return true;
        }
        return false;
    }

    bool comment_open() const {
        for (const ClassEntry* opener : open_) {
            if (opener->cls == CharClass::Comment) return true;
        }
        return false;
    }

    void add_unless_comment(char32_t c, std::size_t position) {
        if (!comment_open()) add(c, position);
    }

    void add(char32_t c, std::size_t position) {
        if (!in_progress_) {
            in_progress_ = true;
            start_ = position;
        }
        part_.push_back(c);
    }

    void end_part_in_progress(std::size_t position) {
        if (in_progress_) end_part(position);
    }

    // Stores the part in progress, or an empty one starting at position.
    void end_part(std::size_t position) {
        const std::size_t start = in_progress_ ? start_ : position;
        count_ = to_int16(static_cast<std::size_t>(count_) + 1);
        const auto index = static_cast<std::size_t>(count_);
        if (index >= parts_.size()) throw library_error("LineParts array too small");
        parts_[index] = unicode::encode(modifiers_.trim ? trim_blanks(part_) : part_);
        if (locations_ != nullptr) {
            if (index >= locations_->size()) throw library_error("PartLocs array too small");
            (*locations_)[index] = to_int16(start);
        }
        part_.clear();
        in_progress_ = false;
        empty_part_owed_ = false;
    }

    const ClassTable& table_;
    const Modifiers modifiers_;
    std::vector<std::string>& parts_;
    std::vector<std::int16_t>* locations_;

    std::vector<const ClassEntry*> open_;  // innermost last
    std::u32string part_;
    bool in_progress_ = false;
    std::size_t start_ = 0;
    bool empty_part_owed_ = false;  // a delimiter that ends empty parts was the last special
    std::int16_t count_ = 0;
};

}  // namespace

std::int16_t lib_GetLineParts3(std::string strLine, std::vector<std::string>& astrLineParts,
                               const std::string& strDelims, const std::string& strKeptDelims,
                               bool blnDelimsMod, const std::string& strLineEnds,
                               const std::string& strKeptLineEnds, bool blnLineEndsMod,
                               const std::string& strComments, const std::string& strGroups,
                               bool blnGroupsMod, const std::string& strQuotes,
                               const std::string& strBrackets, bool blnPairsJoin, bool blnPairsNest,
                               bool blnTrim, std::vector<std::int16_t>* paintPartLocs) {
    ClassTable table;
    table.add_pairs(strQuotes, CharClass::Quote);
    table.add_pairs(strBrackets, CharClass::Bracket);
    table.add_singles(strDelims, CharClass::Delimiter);
    table.add_singles(strKeptDelims, CharClass::KeptDelimiter);
    table.add_singles(strLineEnds, CharClass::LineEnd);
    table.add_singles(std::string_view("\0", 1), CharClass::LineEnd);
    table.add_singles(strKeptLineEnds, CharClass::KeptLineEnd);
    table.add_pairs(strComments, CharClass::Comment);
    table.add_pairs(strGroups, CharClass::Group);

    const Modifiers modifiers{blnDelimsMod, blnLineEndsMod, blnGroupsMod, blnPairsJoin, blnPairsNest, blnTrim};
    LineSplitter splitter(table, modifiers, astrLineParts, paintPartLocs);
    const std::u32string line = unicode::decode(strLine);
    for (std::size_t i = 0; i < line.size(); ++i) splitter.read(line[i], i + 1);
    splitter.finish(line.size() + 1);
    return splitter.count();
}

namespace {

std::int16_t split_at(const std::string& delimiters, const std::string& line, std::vector<std::string>& parts) {
    return lib_GetLineParts3(line, parts, delimiters, "", true, "", "", true, "", "", true, "\"\"", "", true, false,
                             true);
}

}  // namespace

std::int16_t split_at_blanks(const std::string& strLine, std::vector<std::string>& astrParts) {
    return split_at(" \t", strLine, astrParts);
}

std::int16_t split_at_commas(const std::string& strLine, std::vector<std::string>& astrParts) {
    return split_at(",", strLine, astrParts);
}

std::int16_t split_at_backslashes(const std::string& strLine, std::vector<std::string>& astrParts) {
    return split_at("\\", strLine, astrParts);
}

std::string lib_GetToken(std::string& strText, const std::string& strDelim, bool blnHonourQuotes,
                         bool blnStripQuotes) {
    const std::u32string text = unicode::decode(strText);
    const std::u32string delimiter = unicode::decode(strDelim);
    const std::u32string text_upper = unicode::to_upper(text);
    const std::u32string delimiter_upper = unicode::to_upper(delimiter);

    std::size_t delimiter_at = text_upper.find(delimiter_upper);
    const std::size_t quote_at = blnHonourQuotes ? text.find(U'"') : std::u32string::npos;
    if (quote_at != std::u32string::npos && delimiter_at != std::u32string::npos && quote_at < delimiter_at) {
        const std::size_t closing_at = text.find(U'"', quote_at + 1);
        if (closing_at != std::u32string::npos) delimiter_at = text_upper.find(delimiter_upper, closing_at + 1);
    }

    std::string token;
    if (delimiter_at != std::u32string::npos) {
        token = unicode::encode(text.substr(0, delimiter_at));
        strText = unicode::encode(text.substr(delimiter_at + delimiter.size()));
    } else {
        token = strText;
        strText.clear();
    }
    return blnStripQuotes ? lib_StripQuotes(token) : token;
}

std::string_view without_quotes(std::string_view strText) {
    const std::size_t first = strText.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = strText.find_last_not_of(' ');
    std::string_view text = strText.substr(first, last - first + 1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

std::string lib_StripQuotes(const std::string& strText) { return std::string(without_quotes(strText)); }

}  // namespace quillet::lib_basConversion
