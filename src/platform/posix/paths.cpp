// Windows path text <-> native paths. Drive Z: is the file system's root; other
// drives and \\server\share roots exist only when QUILLET_DRIVES maps them:
//   QUILLET_DRIVES='D:=/media/usb;\\nas\backup=/mnt/nas'
// The variable is read on every call (it is short, and tests change it), but only
// parsed again when its text has changed.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "text/unicode.h"

namespace quillet::platform {

namespace {

struct DriveMapping {
    std::string key;          // "D:" (upper case) or "\\server\share"
    std::string native_root;  // without a trailing "/", except "/" itself
};

bool is_share_key(std::string_view key) { return key.starts_with("\\\\"); }

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool has_drive_letter(std::string_view text) { return text.size() >= 2 && text[1] == ':' && is_ascii_letter(text[0]); }

// The length of the "\\server\share" root at the start of the text; 0 when the
// text does not start with a complete one.
std::size_t share_root_length(std::string_view text) {
    if (!text.starts_with("\\\\")) return 0;
    const std::size_t server_end = text.find('\\', 2);
    if (server_end == std::string_view::npos || server_end == 2) return 0;
    const std::size_t share_end = std::min(text.find('\\', server_end + 1), text.size());
    if (share_end == server_end + 1) return 0;
    return share_end;
}

// One "KEY=FOLDER" entry; empty when it is not well formed.
std::optional<DriveMapping> read_mapping(std::string_view entry) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view key = trim_blanks(entry.substr(0, equals));
    std::string_view folder = trim_blanks(entry.substr(equals + 1));
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    if (folder.empty()) return std::nullopt;

    if (key.size() == 2 && has_drive_letter(key)) {
        return DriveMapping{std::string{upper_ascii(key[0]), ':'}, std::string(folder)};
    }
    while (key.ends_with('\\') && key.size() > 2) key.remove_suffix(1);
    if (share_root_length(key) == key.size() && !key.empty()) {
        return DriveMapping{std::string(key), std::string(folder)};
    }
    return std::nullopt;
}

std::vector<DriveMapping> read_mappings(std::string_view variable) {
    std::vector<DriveMapping> mappings;
    while (!variable.empty()) {
        const std::size_t end = std::min(variable.find(';'), variable.size());
        if (auto mapping = read_mapping(variable.substr(0, end))) mappings.push_back(std::move(*mapping));
        variable.remove_prefix(std::min(end + 1, variable.size()));
    }
    return mappings;
}

const std::vector<DriveMapping>& drive_mappings() {
    thread_local std::string parsed_text;
    thread_local std::vector<DriveMapping> mappings;
    const char* variable = std::getenv("QUILLET_DRIVES");
    const std::string_view text = variable != nullptr ? variable : "";
    if (text != parsed_text) {
        parsed_text = text;
        mappings = read_mappings(text);
    }
    return mappings;
}

// The view stays good until the mapping is read again, by the next call.
std::optional<std::string_view> mapped_root(std::string_view key) {
    if (key.size() == 2 && upper_ascii(key[0]) == 'Z') return "/";
    const bool share = is_share_key(key);
    for (const DriveMapping& mapping : drive_mappings()) {
        if (is_share_key(mapping.key) != share) continue;
        const bool same = share ? unicode::equal_ignoring_case(mapping.key, key)
                                : mapping.key[0] == upper_ascii(key[0]);
        if (same) return mapping.native_root;
    }
    return std::nullopt;
}

// The native root followed by the rest of the path text, with "/" separators.
// Built in one allocation: every file copied turns several paths into native ones.
std::string join_native(std::string_view root, std::string_view rest) {
    while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);
    if (rest.empty()) return std::string(root);
    const bool needs_separator = !root.ends_with('/');
    std::string native;
    native.reserve(root.size() + (needs_separator ? 1 : 0) + rest.size());
    native.append(root);
    if (needs_separator) native += '/';
    const auto rest_start = static_cast<std::ptrdiff_t>(native.size());
    native.append(rest);
    std::replace(native.begin() + rest_start, native.end(), '\\', '/');
    return native;
}

std::string relative_native(std::string_view text) {
    std::string native(text);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

// "Z:" or the share root of the current directory, for text such as "\dir" that
// names a folder from the root of the current drive.
std::string current_root() {
    const std::string current = current_directory();
    if (has_drive_letter(current)) return current.substr(0, 2);
    const std::size_t share = share_root_length(current);
    return share > 0 ? current.substr(0, share) : "Z:";
}

std::string absolute_native(std::string_view native) {
    if (native.starts_with('/')) return std::string(native);
    std::error_code error;
    std::string current = std::filesystem::current_path(error).string();
    if (error) return std::string(native);
    if (!current.ends_with('/')) current += '/';
    current += native;
    return current;
}

// The mapping with the longest native root that holds the path, else drive Z:.
DriveMapping mapping_holding(std::string_view native) {
    DriveMapping best{"Z:", "/"};
    for (const DriveMapping& mapping : drive_mappings()) {
        const std::string& root = mapping.native_root;
        const bool holds = root == "/" || native == root || (native.starts_with(root) && native[root.size()] == '/');
        if (holds && root.size() >= best.native_root.size()) best = mapping;
    }
    return best;
}

}  // namespace

std::optional<std::string> native_path(std::string_view path_text) {
    std::size_t root_length = 0;
    if (has_drive_letter(path_text)) {
        root_length = 2;
    } else if (path_text.starts_with("\\\\")) {
        root_length = share_root_length(path_text);
        if (root_length == 0) return std::nullopt;
    } else if (path_text.starts_with('\\')) {
        return native_path(current_root() + std::string(path_text));
    } else {
        return relative_native(path_text);
    }
    const auto root = mapped_root(path_text.substr(0, root_length));
    if (!root) return std::nullopt;
    return join_native(*root, path_text.substr(root_length));
}

std::optional<std::string> path_text(std::string_view native) {
    const std::string absolute = absolute_native(native);
    if (absolute.find('\\') != std::string::npos) return std::nullopt;
    const DriveMapping mapping = mapping_holding(absolute);
    std::string_view rest(absolute);
    if (mapping.native_root != "/") rest.remove_prefix(mapping.native_root.size());

    std::string text = mapping.key;
    if (rest.empty() && !is_share_key(mapping.key)) text += '\\';
    for (const char c : rest) text += c == '/' ? '\\' : c;
    return text;
}

std::string current_directory() {
    std::error_code error;
    const std::string native = std::filesystem::current_path(error).string();
    if (error) return {};
    std::string text = path_text(native).value_or(std::string{});
    if (text.ends_with('\\')) text.pop_back();
    return text;
}

std::optional<std::string> resolved_path(std::string_view path_text_in) {
    const auto native = native_path(path_text_in);
    if (!native) return std::nullopt;
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(native->empty() ? "." : *native, error);
    if (error) return std::nullopt;
    return path_text(resolved.string());
}

}  // namespace quillet::platform
