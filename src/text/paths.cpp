#include "text/paths.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>

#include "text/tokenizer.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet::lib_basConversion {

namespace {

// The most components a path may have; one of more is refused.
constexpr std::size_t kMostComponents = 100;

std::int16_t to_int16(std::size_t value, const char* source) {
    if (value > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
        throw vb::error(vb::kOverflow, source);
    }
    return static_cast<std::int16_t>(value);
}

std::u32string comparable(const std::string& text, int compare) {
    std::u32string code_points = unicode::decode(text);
    return compare == kTextCompare ? unicode::to_upper(code_points) : code_points;
}

// Where every occurrence starts (counted from 0), overlapping ones included.
std::vector<std::size_t> occurrences(const std::string& text, const std::string& find, int compare) {
    const std::u32string haystack = comparable(text, compare);
    const std::u32string needle = comparable(find, compare);
    std::vector<std::size_t> starts;
    if (needle.empty()) return starts;
    for (std::size_t at = haystack.find(needle); at != std::u32string::npos; at = haystack.find(needle, at + 1)) {
        starts.push_back(at);
    }
    return starts;
}

bool is_share_path(std::string_view path) { return path.starts_with("\\\\"); }

bool ends_with_colon(std::string_view text) { return text.ends_with(':'); }

// Two searches for one character each: find_first_of would search its set once
// for every character of the text.
bool has_quotes_or_nuls(std::string_view text) {
    return text.find('"') != std::string_view::npos || text.find('\0') != std::string_view::npos;
}

// The components of a path whose enclosing quotes are already gone.
std::vector<std::string> components_of(std::string_view unquoted) {
    return split_line(unquoted, kBackslashes, kMostComponents);
}

// What a file name is chosen from: a path's first and last components, and how
// many it has, counted as far as the choice needs (more than three count as three).
struct ComponentEnds {
    std::size_t count = 0;
    std::string_view first;
    std::string_view last;
};

constexpr std::size_t kCountedComponents = 3;

// A text longer than this could hold more components than the tokenizer takes.
constexpr std::size_t kLongestPlainPath = 2 * kMostComponents;

bool holds_a_component(std::string_view text) { return text.find_first_not_of('\\') != std::string_view::npos; }

// The ends that components_of would give, found from both ends of the text
// without splitting it: every file copied asks for the file names of its paths.
// Empty for text that only the tokenizer reads right: quotes, NULs, or so long
// that it may hold too many components.
std::optional<ComponentEnds> plain_component_ends(std::string_view text) {
    if (text.size() > kLongestPlainPath || has_quotes_or_nuls(text)) return std::nullopt;
    ComponentEnds ends;
    const std::size_t first_start = text.find_first_not_of('\\');
    if (first_start == std::string_view::npos) return ends;
    const std::size_t first_end = std::min(text.find('\\', first_start), text.size());
    const std::size_t last_end = text.find_last_not_of('\\') + 1;
    const std::size_t joint_before_last = text.rfind('\\', last_end - 1);
    const std::size_t last_start = joint_before_last == std::string_view::npos ? 0 : joint_before_last + 1;

    // A component of blanks counts all the same, as an empty one.
    ends.first = trimmed_blanks(text.substr(first_start, first_end - first_start));
    ends.last = trimmed_blanks(text.substr(last_start, last_end - last_start));
    if (last_start == first_start) {
        ends.count = 1;
    } else {
        ends.count = holds_a_component(text.substr(first_end, last_start - first_end)) ? kCountedComponents : 2;
    }
    return ends;
}

std::string file_name_from(const ComponentEnds& ends, bool share) {
    const std::size_t n = ends.count;
    if (share) return std::string(n > 2 ? ends.last : std::string_view());
    if (n > 0 && ends_with_colon(ends.first)) return std::string(n > 1 ? ends.last : std::string_view());
    return std::string(ends.last);
}

std::string file_name_of(std::string_view unquoted) {
    const bool share = is_share_path(unquoted);
    if (const std::optional<ComponentEnds> ends = plain_component_ends(unquoted)) return file_name_from(*ends, share);
    const std::vector<std::string> components = components_of(unquoted);
    if (components.empty()) return {};
    return file_name_from({components.size(), components.front(), components.back()}, share);
}

std::string_view without_leading_backslashes(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\\');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// A path's elements, numbered from 0 as path levels count them.
struct PathLevels {
    std::vector<std::string> elements;
    std::ptrdiff_t first_usable = 0;
    std::string left_out_drive;  // a drive left out of the elements, still part of the folder

    std::ptrdiff_t last() const { return static_cast<std::ptrdiff_t>(elements.size()) - 1; }

    std::string joined(std::ptrdiff_t from, std::ptrdiff_t to) const {
        std::string path;
        for (std::ptrdiff_t i = from; i <= to; ++i) path = lib_AddPath(path, elements[static_cast<std::size_t>(i)]);
        return path;
    }
};

bool has_drive_letter(const std::u32string& path) { return path.size() >= 2 && path[1] == U':'; }

PathLevels path_levels(std::string_view unquoted, bool without_drive) {
    PathLevels levels;
    const std::u32string code_points = unicode::decode(unquoted);
    if (is_share_path(unquoted)) {
        levels.elements = path_pieces(without_leading_backslashes(unquoted));
        if (!levels.elements.empty()) levels.elements.front().insert(0, "\\\\");
        levels.first_usable = without_drive ? 2 : 0;
    } else if (has_drive_letter(code_points)) {
        const std::string drive = unicode::encode(code_points.substr(0, 2));
        levels.elements = path_pieces(without_leading_backslashes(unicode::encode(code_points.substr(2))));
        if (without_drive) {
            levels.left_out_drive = drive;
        } else {
            levels.elements.insert(levels.elements.begin(), drive);
        }
    } else {
        levels.elements = path_pieces(without_leading_backslashes(unquoted));
    }
    return levels;
}

std::ptrdiff_t chosen_index(const PathLevels& levels, std::int16_t level) {
    if (level > 0) return levels.first_usable + level - 1;
    if (level == 0) return levels.last();
    return levels.last() + 1 + level;
}

std::string pick_level(const PathLevels& levels, std::ptrdiff_t index, bool join_from_start, bool join_to_end) {
    if (index < levels.first_usable || index > levels.last()) return {};
    if (join_from_start) return levels.joined(levels.first_usable, index);
    if (join_to_end) return levels.joined(index, levels.last());
    return levels.elements[static_cast<std::size_t>(index)];
}

}  // namespace

std::vector<std::string> path_pieces(std::string_view text) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find('\\', start);
        pieces.emplace_back(text.substr(start, at - start));
        if (at == std::string_view::npos) return pieces;
        start = at + 1;
    }
}

std::vector<std::string> path_components(std::string_view strPath) { return components_of(without_quotes(strPath)); }

bool refuses_components(std::string_view strPath) {
    try {
        path_components(strPath);
        return false;
    } catch (const Error&) {
        return true;
    }
}

std::string lib_AddPath(const std::string& strFirst, const std::string& strSecond) {
    std::string_view second = strSecond;
    const bool first_has_joint = strFirst.ends_with('\\');
    if (first_has_joint && second.starts_with('\\')) second.remove_prefix(1);
    const bool needs_joint = !first_has_joint && !second.starts_with('\\') && !strFirst.empty() && !second.empty();
    // Built in one allocation: paths are joined several times for every file copied.
    std::string path;
    path.reserve(strFirst.size() + (needs_joint ? 1 : 0) + second.size());
    path.append(strFirst);
    if (needs_joint) path += '\\';
    path.append(second);
    return path;
}

std::int16_t lib_CountString(const std::string& strText, const std::string& strFind, int intCompare) {
    return to_int16(occurrences(strText, strFind, intCompare).size(), "Base7.lib_CountString");
}

std::string lib_GetDrive(const std::string& strPath) {
    const std::string unquoted = lib_StripQuotes(strPath);
    const std::vector<std::string> components = components_of(unquoted);
    if (is_share_path(unquoted)) {
        std::string share = "\\\\";
        if (!components.empty()) share += components[0];
        if (components.size() > 1) share += "\\" + components[1];
        return share;
    }
    if (!components.empty() && ends_with_colon(components.front())) return components.front();
    return {};
}

std::string lib_StripString(const std::string& strText, const std::string& strPiece, bool blnRepeat,
                            bool blnFromLeft) {
    std::u32string text = unicode::decode(trimmed_blanks(strText));
    const std::u32string piece = comparable(strPiece, kTextCompare);
    const std::size_t n = piece.size();
    if (n == 0) return unicode::encode(text);
    while (text.size() >= n) {
        const std::size_t at = blnFromLeft ? 0 : text.size() - n;
        if (unicode::to_upper(std::u32string_view(text).substr(at, n)) != piece) break;
        text.erase(at, n);
        if (!blnRepeat) break;
    }
    return unicode::encode(text);
}

std::string lib_GetFileName(const std::string& strPath) { return file_name_of(without_quotes(strPath)); }

std::string lib_GetFileExt(const std::string& strPath) {
    const std::string name = lib_GetFileName(strPath);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string lib_GetFileBase(const std::string& strPath, bool blnWithPath) {
    const std::string_view unquoted = without_quotes(strPath);
    const std::string name = file_name_of(unquoted);
    if (name.empty()) return {};
    const std::string_view searched = blnWithPath ? unquoted : std::string_view(name);
    const std::size_t dot = searched.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return std::string(searched.substr(0, dot));
}

std::string lib_GetPath(const std::string& strPath, bool blnWithDrive) {
    const std::u32string path = unicode::decode(lib_StripQuotes(strPath));
    for (std::size_t i = path.size(); i-- > 0;) {
        if (path[i] == U':') return blnWithDrive ? unicode::encode(path.substr(0, i + 1)) : std::string();
        if (path[i] == U'\\') {
            std::size_t start = 0;
            if (!blnWithDrive) {
                const std::size_t colon = path.find(U':');
                start = colon == std::u32string::npos ? 0 : colon + 1;
            }
            return start < i ? unicode::encode(path.substr(start, i - start)) : std::string();
        }
    }
    return {};
}

std::string lib_GetPathLevel(const std::string& strPath, std::int16_t intLevel, bool blnJoinFromStart,
                             bool blnWithoutDrive, bool blnMustExist, bool blnJoinToEnd,
                             const FolderExistsTest& folder_exists) {
    const PathLevels levels = path_levels(without_quotes(strPath), blnWithoutDrive);
    for (std::ptrdiff_t index = chosen_index(levels, intLevel);; --index) {
        const std::string result = pick_level(levels, index, blnJoinFromStart, blnJoinToEnd);
        if (!blnMustExist) return result;
        if (index < levels.first_usable || index > levels.last()) return {};
        if (folder_exists(lib_AddPath(levels.left_out_drive, levels.joined(0, index)))) return result;
        if (intLevel >= 0) return {};
    }
}

std::string deepest_folder_name(std::string_view path) {
    const PathLevels levels = path_levels(without_quotes(path), true);
    return levels.last() >= levels.first_usable ? levels.elements.back() : std::string();
}

std::string parent_folder(std::string_view path) {
    const PathLevels levels = path_levels(without_quotes(path), false);
    return levels.last() >= 1 ? levels.joined(0, levels.last() - 1) : std::string();
}

std::int16_t lib_InStrLast(std::optional<std::int16_t> intFromEnd, const std::string& strText,
                           const std::string& strFind, int intCompare) {
    const auto length = static_cast<std::ptrdiff_t>(unicode::length(strText));
    const std::ptrdiff_t limit = intFromEnd ? length + 1 - *intFromEnd : length;
    std::size_t last = 0;
    for (const std::size_t start : occurrences(strText, strFind, intCompare)) {
        if (static_cast<std::ptrdiff_t>(start) + 1 > limit) break;
        last = start + 1;
    }
    return to_int16(last, "Base7.lib_InStrLast");
}

std::int16_t lib_InStrLast(const std::string& strText, const std::string& strFind, int intCompare) {
    return lib_InStrLast(std::nullopt, strText, strFind, intCompare);
}

std::string lib_TrimNull(const std::string& strText) { return strText.substr(0, strText.find('\0')); }

}  // namespace quillet::lib_basConversion
