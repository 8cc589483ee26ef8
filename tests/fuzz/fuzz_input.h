#pragma once
// Reads a fuzzer's input from the front: single bytes, length-prefixed byte strings and raw
// doubles. Reading past the end gives zeros and empty strings, so every input is usable and a
// seed file can be written by hand in the same order the fuzzer reads it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    std::size_t Remaining() const { return Empty() ? 0 : size_ - pos_; }

    std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }

    // A length byte (taken modulo `maxLength` + 1), then that many bytes (fewer at the end).
    std::string String(std::size_t maxLength) {
        const std::size_t length = Byte() % (maxLength + 1);
        return Bytes(length);
    }

    std::string Bytes(std::size_t count) {
        const std::size_t take = count < Remaining() ? count : Remaining();
        std::string text(reinterpret_cast<const char*>(data_ + pos_), take);
        pos_ += take;
        return text;
    }

    // The rest of the input.
    std::string Rest() { return Bytes(Remaining()); }

    // Eight bytes as the bits of a double, so every value (infinities, not-a-number,
    // subnormals, the largest finite ones) can be reached.
    double Double() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        }
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A broken invariant: says which and stops the process, which libFuzzer reports as a crash
// with the input that caused it.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz invariant broken: %s %s\n", what, detail.c_str());
    std::abort();
}

inline void Check(bool condition, const char* what, const std::string& detail = {}) {
    if (!condition) {
        Fail(what, detail);
    }
}

} // namespace fuzz
