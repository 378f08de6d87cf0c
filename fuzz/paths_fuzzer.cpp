// The path helpers on arbitrary path text, with every level, flag and compare
// mode, and a folder-existence answer chosen by the input instead of the disk.
// They take paths from command lines and command files apart, so any text may
// reach them; they must fail only with the program's own errors.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "text/error.h"
#include "text/paths.h"

namespace {

using namespace quillet;
using namespace quillet::lib_basConversion;

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "paths_fuzzer: %s\n", what);
    std::abort();
}

// The helpers that take a path apart at its backslashes refuse one of more than
// 100 components with the tokenizer's error, which their callers trap.
template <typename Call>
void allowing_errors(Call call) {
    try {
        call();
    } catch (const Error&) {
    }
}

void take_apart(const std::string& path) {
    allowing_errors([&] { lib_GetDrive(path); });
    allowing_errors([&] { lib_GetFileName(path); });
    allowing_errors([&] { lib_GetFileExt(path); });
    allowing_errors([&] { lib_GetFileBase(path, false); });
    allowing_errors([&] { lib_GetFileBase(path, true); });
    allowing_errors([&] { lib_GetPath(path, false); });
    allowing_errors([&] { lib_GetPath(path, true); });
    allowing_errors([&] { path_components(path); });
    deepest_folder_name(path);
    parent_folder(path);
    const std::string trimmed = lib_TrimNull(path);
    require(path.starts_with(trimmed) && trimmed.find('\0') == std::string::npos, "TrimNull kept a NUL");
}

struct Choices {
    std::int16_t level;
    bool join_from_start, without_drive, must_exist, join_to_end;
    std::uint32_t existing;  // the folders that exist, one bit each in the order they are asked about
    int compare;
    std::optional<std::int16_t> from_end;
    bool repeat, from_left;
};

Choices read_choices(FuzzedDataProvider& input) {
    Choices c{};
    c.level = input.ConsumeIntegral<std::int16_t>();
    c.join_from_start = input.ConsumeBool();
    c.without_drive = input.ConsumeBool();
    c.must_exist = input.ConsumeBool();
    c.join_to_end = input.ConsumeBool();
    c.existing = input.ConsumeIntegral<std::uint32_t>();
    c.compare = input.ConsumeBool() ? kTextCompare : kBinaryCompare;
    if (input.ConsumeBool()) c.from_end = input.ConsumeIntegral<std::int16_t>();
    c.repeat = input.ConsumeBool();
    c.from_left = input.ConsumeBool();
    return c;
}

void path_level(const std::string& path, const Choices& c) {
    auto existing = c.existing;
    const FolderExistsTest folder_exists = [&existing](const std::string&) {
        const bool exists = (existing & 1u) != 0;
        existing = (existing >> 1) | (exists ? 0x80000000u : 0u);
        return exists;
    };
    allowing_errors([&] {
        lib_GetPathLevel(path, c.level, c.join_from_start, c.without_drive, c.must_exist, c.join_to_end,
                         folder_exists);
    });
}

void search(const std::string& path, const std::string& piece, const Choices& c) {
    allowing_errors([&] { require(lib_InStrLast(c.from_end, path, piece, c.compare) >= 0, "a negative position"); });
    allowing_errors([&] { require(lib_CountString(path, piece, c.compare) >= 0, "a negative count"); });
    allowing_errors([&] { lib_StripString(path, piece, c.repeat, c.from_left); });
    const std::string joined = lib_AddPath(path, piece);
    require(joined.size() <= path.size() + piece.size() + 1, "AddPath made text of its own");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A short piece from the front, the choices from the back, the path in between.
    FuzzedDataProvider input(data, size);
    const std::string piece = input.ConsumeRandomLengthString(16);
    const Choices choices = read_choices(input);
    const std::string path = input.ConsumeRemainingBytesAsString();
    take_apart(path);
    path_level(path, choices);
    search(path, piece, choices);
    return 0;
}
