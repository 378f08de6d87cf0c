#pragma once
// For tests of the file services: a scratch folder named natively and as path
// text, and a private home whose trash the tests can look into.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/platform.h"

namespace quillet::testing {

// A fresh folder below the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        const auto base = std::filesystem::canonical(std::filesystem::temp_directory_path());
        do {
            native_ = base / ("quillet-files-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(native_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(native_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path native(const std::string& inside = {}) const {
        return inside.empty() ? native_ : native_ / inside;
    }
    // Path text of the folder, or of a place inside it ("sub/x.txt").
    std::string text(const std::string& inside = {}) const {
        return platform::path_text(native(inside).string()).value();
    }

    void write(const std::string& inside, const std::string& content) const {
        std::filesystem::create_directories(native(inside).parent_path());
        std::ofstream(native(inside), std::ios::binary) << content;
    }
    std::string read(const std::string& inside) const {
        std::ifstream in(native(inside), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string& inside) const {
        return std::filesystem::exists(std::filesystem::symlink_status(native(inside)));
    }

private:
    std::filesystem::path native_;
};

// HOME and XDG_DATA_HOME pointed at a folder of the tests' own, so that the trash
// the tests fill is not the user's. GIO reads both once, at its first use: call
// this before that, from a static initialiser of the test file.
class PrivateHome {
public:
    static const PrivateHome& get() {
        static const PrivateHome home;
        return home;
    }
    std::filesystem::path data() const { return folder_.native(".local/share"); }
    // Where the trash keeps what it was given, under the item's own name.
    std::filesystem::path trashed(const std::string& name) const { return data() / "Trash" / "files" / name; }

private:
    PrivateHome() {
        std::filesystem::create_directories(data());
        ::setenv("HOME", folder_.native().c_str(), 1);
        ::setenv("XDG_DATA_HOME", data().c_str(), 1);
    }
    ScratchFolder folder_;
};

// For a scope, a file stands where the private home's trash folder should be, so
// that the trash can take nothing.
class BrokenTrash {
public:
    BrokenTrash() : trash_(PrivateHome::get().data() / "Trash"), aside_(PrivateHome::get().data() / "Trash aside") {
        if (std::filesystem::exists(trash_)) std::filesystem::rename(trash_, aside_);
        std::ofstream(trash_) << "not a folder";
    }
    ~BrokenTrash() {
        std::filesystem::remove(trash_);
        if (std::filesystem::exists(aside_)) std::filesystem::rename(aside_, trash_);
    }
    BrokenTrash(const BrokenTrash&) = delete;
    BrokenTrash& operator=(const BrokenTrash&) = delete;

private:
    std::filesystem::path trash_;
    std::filesystem::path aside_;
};

}  // namespace quillet::testing
