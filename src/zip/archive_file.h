#pragma once
// One zip archive being written through libzip: opened (or created), changed in
// memory, and written on close in a staging folder beside it, from where it
// replaces the archive only when everything succeeded. Dropped unclosed, or
// interrupted, it leaves the archive as it was and nothing beside it.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "zip/archive_staging.h"
#include "zip/entry_workers.h"
#include "zip/zip32.h"

struct zip;

namespace quillet::zip32 {

class ArchiveFile {
public:
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Opens the archive at a path (path text), creating it when it does not exist.
    // Returns a ZE_ code; `archive` is set on ZE_OK.
    static int open(const std::string& archive_text, std::unique_ptr<ArchiveFile>& archive);

    // The modification time of an existing entry ("name" or, for a folder,
    // "name/"); empty when the archive has no such entry.
    std::optional<std::time_t> entry_time(const std::string& name) const;

    // Adds a folder entry "name/" with a modification time and POSIX permission
    // bits; one that exists stays. As with files, the archive ends up no more open
    // than the folder.
    int add_folder(const std::string& name, std::time_t modified, std::uint32_t permissions);
    // How many threads compress (and encrypt) the files added from now on, ahead of
    // the archive being written; 1 (the default) leaves it all to close().
    void set_threads(int count) { threads_ = count; }

    // Adds a file from a native path, replacing an entry of the same name, with the
    // file's modification time (zip/entry_times.h). Level 0 stores, as does any level
    // for a file not worth compressing (encrypted, as deflate's stored blocks); a
    // non-empty password encrypts with AES-256.
    // One archive takes one level and password.
    // The archive itself ends up no more open than the least open file it took.
    int add_file(const std::string& name, const std::string& native_path, std::uint64_t size, std::time_t modified,
                 std::uint32_t permissions, int level, const std::string& password);

    std::string comment() const;
    int set_comment(const std::string& comment);

    // Writes the archive, telling progress (when given) how far it is now and
    // then. Returns a ZE_ code; on failure the archive on disk is unchanged.
    int close(DLLPROGRESS* progress = nullptr);

private:
    // Tells the caller's progress callback, at most every kProgressEvery
    // unless forced; `done` empty repeats the last share told.
    class Pacer {
    public:
        void start(DLLPROGRESS* progress);
        void tell(std::optional<double> done, bool force = false);

    private:
        DLLPROGRESS* progress_ = nullptr;
        double done_ = 0;
        std::chrono::steady_clock::time_point told_;
    };

    ArchiveFile(zip* handle, std::unique_ptr<ArchiveStaging> staging);
    int last_error(int stage_result_if_unknown) const;
    int add_compressed(const std::string& name, std::size_t number, std::time_t modified, int level, bool encrypted);
    // The entry's time fields (zip/entry_times.h).
    int set_time(std::uint64_t index, std::time_t modified);
    int set_method(std::uint64_t index, int level, const std::string* password, bool encrypted);

    // Gone in this order: the archive's handle (in the destructor), whose entries
    // still draw on the workers; the workers, whose scratch files lie in the
    // staging folder; the staging folder.
    zip* handle_;
    std::unique_ptr<ArchiveStaging> staging_;
    Pacer pacer_;
    int threads_ = 1;
    // The permission bits that every file and folder added gives.
    std::uint32_t open_to_ = 0777;
    std::unique_ptr<EntryWorkers> workers_;
    // The workers' files by the index of their entry: libzip writes the entries by
    // index, and an entry that replaces one keeps the index of the one it replaces.
    std::vector<std::pair<std::uint64_t, std::size_t>> worker_entries_;
};

}  // namespace quillet::zip32
