// Reads typed values off a fuzzer's bytes; past the end every value is 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzzing {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::int32_t Int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        return static_cast<std::int32_t>(v);
    }
    // Mostly small values near the interesting edges, sometimes any 32-bit value.
    std::int32_t Coordinate() {
        const std::uint8_t how = Byte();
        if (how < 200) return static_cast<std::int32_t>(Byte()) - 128;
        return Int32();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace fuzzing
