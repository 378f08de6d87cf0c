#pragma once
// For tests: a fresh folder below the system's temporary folder, removed again at
// the end, named both natively and as path text (/tmp/x is Z:\tmp\x).

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace quillet::test_support {

class TestFolder {
public:
    TestFolder() {
        std::random_device random;
        const auto base = std::filesystem::canonical(std::filesystem::temp_directory_path());
        do {
            native_ = base / ("quillet-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(native_));
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(native_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& native() const { return native_; }

    // Path text of the folder, or of a relative native path inside it.
    std::string text(const std::string& inside = {}) const {
        std::string native = native_.string();
        if (!inside.empty()) native += "/" + inside;
        std::string result = "Z:";
        for (const char c : native) result += c == '/' ? '\\' : c;
        return result;
    }

    void make_folder(const std::string& inside) const { std::filesystem::create_directories(native_ / inside); }
    void make_file(const std::string& inside) const { std::ofstream(native_ / inside) << "x"; }

private:
    std::filesystem::path native_;
};

}  // namespace quillet::test_support
