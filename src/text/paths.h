#pragma once
// Taking Windows path text apart and putting it together, on text alone. Folder
// paths are held without a trailing backslash; positions are counted in code points,
// from 1, and 0 means "not found".

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::lib_basConversion {

// Compare modes of the searching helpers.
inline constexpr int kBinaryCompare = 0;  // exact
inline constexpr int kTextCompare = 1;    // case ignored

// The components of a path: enclosing quotes removed, split at backslashes with the
// tokenizer (each component trimmed, double quotes honoured), empty components not
// counted. "\\server\share\file" has "server", "share", "file". A path of more than
// 100 components is refused with the tokenizer's "LineParts array too small".
std::vector<std::string> path_components(std::string_view strPath);
// Whether path_components refuses the path.
bool refuses_components(std::string_view strPath);

// The text split at every backslash, empty pieces kept ("a\\b" has "a", "", "b"); an
// empty text has no pieces. Nothing is trimmed or unquoted.
std::vector<std::string> path_pieces(std::string_view text);

// The two joined with exactly one backslash between them; an empty piece yields
// the other unchanged.
std::string lib_AddPath(const std::string& strFirst, const std::string& strSecond);

// Occurrences of strFind in strText, overlapping ones included; 0 for an empty strFind.
std::int16_t lib_CountString(const std::string& strText, const std::string& strFind, int intCompare);

// "C:" or "\\server\share" (as far as the path has them), else empty.
std::string lib_GetDrive(const std::string& strPath);

// strText trimmed of blanks, then strPiece (case ignored) removed once, or as often
// as it repeats, from its left or its right end.
std::string lib_StripString(const std::string& strText, const std::string& strPiece, bool blnRepeat,
                            bool blnFromLeft);

// The last component; empty for a bare drive ("C:") or share ("\\srv\share").
std::string lib_GetFileName(const std::string& strPath);

// The text after the last "." of the file name; empty when it has none.
std::string lib_GetFileExt(const std::string& strPath);

// The file name, or with blnWithPath the whole path, before its last "."; empty
// when the file name is empty or there is no "." after the first character.
std::string lib_GetFileBase(const std::string& strPath, bool blnWithPath);

// The folder part of a file path, without a trailing backslash: C:\Data\file.txt
// gives C:\Data, or \Data without the drive; C:\file.txt gives "C:" or empty.
std::string lib_GetPath(const std::string& strPath, bool blnWithDrive);

// Whether a folder given as path text exists.
using FolderExistsTest = std::function<bool(const std::string&)>;

// One component (level 1 the first, 0 the last, -1 the last and -2 the one before
// it), or with blnJoinFromStart the components up to it, or with blnJoinToEnd those
// from it on. Element 0 of a drive path is the drive ("C:"), of a share path
// "\\server" (then the share); blnWithoutDrive skips them. With blnMustExist the
// folder up to the chosen component has to exist (asked of folder_exists): for a
// negative level the choice moves towards the root until one exists, otherwise the
// result is empty.
std::string lib_GetPathLevel(const std::string& strPath, std::int16_t intLevel, bool blnJoinFromStart,
                             bool blnWithoutDrive, bool blnMustExist, bool blnJoinToEnd,
                             const FolderExistsTest& folder_exists);

// The name of the deepest folder, a drive or share root not counting as one:
// C:\Data\Sub gives "Sub"; C:\ and \\srv\share give "".
std::string deepest_folder_name(std::string_view path);

// The path without its last component: C:\Data\Sub gives C:\Data, C:\Data gives
// "C:", and a path of one component gives "".
std::string parent_folder(std::string_view path);

// The position of the last occurrence of strFind that starts at or before the
// limit: the text's length, or with intFromEnd that length + 1 - intFromEnd.
std::int16_t lib_InStrLast(std::optional<std::int16_t> intFromEnd, const std::string& strText,
                           const std::string& strFind, int intCompare);
std::int16_t lib_InStrLast(const std::string& strText, const std::string& strFind, int intCompare);

// The text up to its first NUL character.
std::string lib_TrimNull(const std::string& strText);

}  // namespace quillet::lib_basConversion
