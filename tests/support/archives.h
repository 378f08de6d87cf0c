#pragma once
// Test helpers: a scratch folder tree with chosen file times, an independent
// reader of archives (libzip's reading side), and recording callbacks.

#include <zip.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::zip_test {

namespace fs = std::filesystem;

// 2021-06-15 around noon UTC; an even second, as archive times keep two seconds.
inline constexpr std::time_t kFileTime = 1623758400;

// Through the program's own file services: MinGW's std::filesystem sets no
// folder's times (_wutime opens no folder).
inline void set_time(const fs::path& path, std::time_t time) {
    const platform::FileTime when = platform::kUnixEpochFileTime + platform::FileTime{time} * 10'000'000;
    if (!platform::set_file_times(platform::path_text(testing::utf8(path)).value(), {0, when, when})) {
        throw std::runtime_error("cannot set the times of " + testing::utf8(path));
    }
}

// A scratch folder whose files and folders get the times given, kFileTime by default.
class ScratchTree : public testing::ScratchFolder {
public:
    ScratchTree() : ScratchFolder("zip") {}
    fs::path root() const { return native(); }
    fs::path path(const std::string& relative) const { return native(relative); }

    void file(const std::string& relative, const std::string& content, std::time_t time = kFileTime) const {
        write(relative, content);
        set_time(path(relative), time);
    }
    void folder(const std::string& relative, std::time_t time = kFileTime) const {
        fs::create_directories(path(relative));
        set_time(path(relative), time);
    }
};

struct Entry {
    std::time_t time = 0;
    std::uint16_t method = 0;
    std::uint16_t encryption = 0;
    std::string content;
    std::uint32_t attributes = 0;  // external attributes: the file's mode, made on Unix
    friend bool operator==(const Entry&, const Entry&) = default;
};

// Every entry of an archive by name, in archive order, read with libzip.
// A content that could not be read (wrong password) reads as "<unreadable>".
inline std::vector<std::pair<std::string, Entry>> read_archive(const fs::path& archive,
                                                               const char* password = nullptr) {
    std::vector<std::pair<std::string, Entry>> entries;
    int error = 0;
    zip_t* handle = zip_open(testing::utf8(archive).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (handle == nullptr) return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(handle, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(handle, static_cast<zip_uint64_t>(i), 0, &stat);
        Entry entry{stat.mtime, stat.comp_method, stat.encryption_method, {}, 0};
        zip_uint8_t system = 0;
        zip_file_get_external_attributes(handle, static_cast<zip_uint64_t>(i), 0, &system, &entry.attributes);
        zip_file_t* file = zip_fopen_index_encrypted(handle, static_cast<zip_uint64_t>(i), 0, password);
        std::string content(stat.size, '\0');
        const bool read =
            file != nullptr && zip_fread(file, content.data(), stat.size) == static_cast<zip_int64_t>(stat.size);
        if (file != nullptr) zip_fclose(file);
        entry.content = read ? content : "<unreadable>";
        entries.emplace_back(stat.name, entry);
    }
    zip_discard(handle);
    return entries;
}

inline std::vector<std::string> names_in(const fs::path& archive) {
    std::vector<std::string> names;
    for (const auto& [name, entry] : read_archive(archive)) names.push_back(name);
    return names;
}

using testing::file_bytes;

}  // namespace quillet::zip_test
