#pragma once
// A password held in memory only as long as it is needed, and overwritten
// before its memory is given back.

#include <cstddef>
#include <string>

namespace quillet::zip32 {

// Overwrites bytes in a way the compiler may not optimise away.
inline void wipe_bytes(char* bytes, std::size_t size) {
    volatile char* target = bytes;
    for (std::size_t i = 0; i < size; ++i) target[i] = 0;
}

class SecretText {
public:
    SecretText() = default;
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;
    ~SecretText() { clear(); }

    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }

    void assign(const char* bytes, std::size_t size) {
        clear();
        text_.reserve(size + 1);  // allocated once, so no copy is left behind by growth
        text_.assign(bytes, size);
    }
    void assign(const std::string& text) { assign(text.data(), text.size()); }

    void clear() {
        text_.resize(text_.capacity());  // within capacity: the buffer stays where it is
        wipe_bytes(text_.data(), text_.size());
        text_.clear();
    }

private:
    std::string text_;
};

}  // namespace quillet::zip32
