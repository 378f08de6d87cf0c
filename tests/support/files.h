#pragma once
// For tests of the file services: a scratch folder named natively and as path
// text, and a private home whose trash the tests can look into or break.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/platform.h"
#include "support/environment.h"

namespace quillet::testing {

namespace fs = std::filesystem;

// A native path as UTF-8 text, for the libraries that take file names so
// (SQLite, libzip): on Windows path::string() is in the ANSI code page.
inline std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The bytes of a file; none when it cannot be read.
inline std::string file_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder below the temporary folder ($TMPDIR, else /tmp) or another base,
// named for what it is for, removed with everything in it at the end. The
// benchmarks use it too.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose = "files", const fs::path& base = fs::temp_directory_path()) {
        std::random_device random;
        do {
            native_ = fs::canonical(base) / ("quillet-" + purpose + "-" + std::to_string(random()));
        } while (!fs::create_directory(native_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(native_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    fs::path native(const std::string& inside = {}) const { return inside.empty() ? native_ : native_ / inside; }
    // Path text of the folder, or of a place inside it ("sub/x.txt").
    std::string text(const std::string& inside = {}) const {
        return platform::path_text(native(inside).string()).value();
    }
    void write(const std::string& inside, const std::string& content) const {
        fs::create_directories(native(inside).parent_path());
        std::ofstream(native(inside), std::ios::binary) << content;
    }
    std::string read(const std::string& inside) const { return file_bytes(native(inside)); }
    bool exists(const std::string& inside) const { return fs::exists(fs::symlink_status(native(inside))); }

private:
    fs::path native_;
};

// HOME and XDG_DATA_HOME pointed at a folder of the tests' own. GIO reads both
// once, at its first use: call get() from a static initialiser of the test file.
// Under Wine the recycle bin is the freedesktop trash below the XDG_DATA_HOME
// that Wine started with (the tests' emulator sets one), seen through drive Z:;
// on Windows itself there is none (available() is false).
class PrivateHome {
public:
    static const PrivateHome& get() {
        static const PrivateHome home;
        return home;
    }
    bool available() const { return !data_.empty(); }
    fs::path data() const { return data_; }
    // Where the trash keeps what it was given, under the item's own name.
    fs::path trashed(const std::string& name) const { return data() / "Trash" / "files" / name; }

private:
#ifdef _WIN32
    PrivateHome() {
        const wchar_t* wine_data = ::_wgetenv(L"XDG_DATA_HOME");
        if (wine_data != nullptr && wine_data[0] == L'/') data_ = fs::path(L"Z:" + std::wstring(wine_data));
        if (available()) fs::create_directories(data_);
    }
#else
    PrivateHome() : data_(folder_.native(".local/share")) {
        fs::create_directories(data_);
        set_environment("HOME", utf8(folder_.native()));
        set_environment("XDG_DATA_HOME", utf8(data_));
    }
    ScratchFolder folder_;
#endif
    fs::path data_;
};

// For a scope, a file stands where the trash folder should be: the trash takes nothing.
class BrokenTrash {
public:
    BrokenTrash() {
        if (fs::exists(trash_)) fs::rename(trash_, aside_);
        std::ofstream(trash_) << "not a folder";
    }
    ~BrokenTrash() {
        fs::remove(trash_);
        if (fs::exists(aside_)) fs::rename(aside_, trash_);
    }
    BrokenTrash(const BrokenTrash&) = delete;
    BrokenTrash& operator=(const BrokenTrash&) = delete;

private:
    fs::path trash_ = PrivateHome::get().data() / "Trash";
    fs::path aside_ = PrivateHome::get().data() / "Trash aside";
};

}  // namespace quillet::testing
