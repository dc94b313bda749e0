#include "tools/gif_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>

namespace tools {
namespace {

constexpr int kMinCodeSize = 8;
constexpr int kClear = 1 << kMinCodeSize;
constexpr int kEnd = kClear + 1;
constexpr int kMaxCodes = 4096;

class BitWriter {
public:
    void Put(int code, int size) {
        buffer_ |= static_cast<std::uint32_t>(code) << bits_;
        bits_ += size;
        while (bits_ >= 8) {
            out.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    void Flush() {
        if (bits_ > 0) out.push_back(static_cast<std::uint8_t>(buffer_));
        buffer_ = 0, bits_ = 0;
    }
    std::vector<std::uint8_t> out;

private:
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

void PutLittle16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::vector<std::uint8_t> GifLzw(const std::vector<std::uint8_t>& indices) {
    BitWriter bits;
    std::unordered_map<std::uint32_t, int> dictionary;  // (prefix code << 8 | byte) -> code
    int next = kEnd + 1;
    int codeSize = kMinCodeSize + 1;
    bits.Put(kClear, codeSize);
    if (indices.empty()) {
        bits.Put(kEnd, codeSize);
        bits.Flush();
        return bits.out;
    }
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | indices[i];
        const auto found = dictionary.find(key);
        if (found != dictionary.end()) {
            prefix = found->second;
            continue;
        }
        bits.Put(prefix, codeSize);
        if (next < kMaxCodes) {
            // The decoder widens its codes once the entry it adds reaches the current width.
            if (next == (1 << codeSize)) ++codeSize;
            dictionary.emplace(key, next++);
        } else {
            bits.Put(kClear, codeSize);
            dictionary.clear();
            next = kEnd + 1;
            codeSize = kMinCodeSize + 1;
        }
        prefix = indices[i];
    }
    bits.Put(prefix, codeSize);
    bits.Put(kEnd, codeSize);
    bits.Flush();
    return bits.out;
}

bool WriteGif(const std::string& path, int width, int height, const Palette& palette,
              const std::vector<std::uint8_t>& indices, std::string* error) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        *error = "picture size does not match its pixels";
        return false;
    }
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    PutLittle16(gif, width);
    PutLittle16(gif, height);
    gif.insert(gif.end(), {0xF7, 0, 0});  // global table of 256 colours, 8 bits per channel
    for (const auto& c : palette) gif.insert(gif.end(), c.begin(), c.end());
    gif.push_back(0x2C);
    PutLittle16(gif, 0);
    PutLittle16(gif, 0);
    PutLittle16(gif, width);
    PutLittle16(gif, height);
    gif.push_back(0);  // no local table, not interlaced
    gif.push_back(kMinCodeSize);
    const std::vector<std::uint8_t> stream = GifLzw(indices);
    for (std::size_t at = 0; at < stream.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, stream.size() - at);
        gif.push_back(static_cast<std::uint8_t>(n));
        gif.insert(gif.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                   stream.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file || std::fwrite(gif.data(), 1, gif.size(), file.get()) != gif.size()) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace tools
