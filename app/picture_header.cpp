#include "app/picture_header.h"

#include <cstdio>
#include <cstring>

#include "app/startup_error.h"

namespace app {
namespace {

class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, const std::string& name) : bytes_(bytes), name_(name) {}
    std::uint8_t Byte() {
        Need(1);
        return bytes_[at_++];
    }
    int LittleEndian16() {
        Need(2);
        at_ += 2;
        return bytes_[at_ - 2] | bytes_[at_ - 1] << 8;
    }
    void Skip(std::size_t n) {
        Need(n);
        at_ += n;
    }

private:
    void Need(std::size_t n) const {
        if (bytes_.size() - at_ < n) throw StartupError(name_, "picture header is cut short");
    }
    const std::vector<std::uint8_t>& bytes_;
    const std::string& name_;
    std::size_t at_ = 0;
};

void CheckSides(PictureSize size, const std::string& name) {
    char why[96];
    if (!SidesWithinLimits(size, why, sizeof why)) throw StartupError(name, why);
}

PictureSize GifSize(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    if (bytes.size() < 6 || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 && std::memcmp(bytes.data(), "GIF89a", 6) != 0)) {
        throw StartupError(name, "is not a GIF picture");
    }
    Reader in(bytes, name);
    in.Skip(6);
    const PictureSize screen{in.LittleEndian16(), in.LittleEndian16()};
    CheckSides(screen, name);
    const std::uint8_t flags = in.Byte();
    in.Skip(2);
    if (flags & 0x80) in.Skip(3u << ((flags & 7) + 1));
    // The decoder sizes its picture by the first image, so check that one too.
    for (;;) {
        const std::uint8_t block = in.Byte();
        if (block == 0x2C) {
            in.Skip(4);
            const PictureSize image{in.LittleEndian16(), in.LittleEndian16()};
            CheckSides(image, name);
            return screen;
        }
        if (block != 0x21) throw StartupError(name, "GIF has no image");
        in.Skip(1);  // extension label
        for (std::uint8_t n; (n = in.Byte()) != 0;) in.Skip(n);
    }
}

}  // namespace

bool SidesWithinLimits(PictureSize size, char* why, std::size_t whySize) {
    if (size.width >= 1 && size.height >= 1 && size.width <= kMaxPictureSide && size.height <= kMaxPictureSide) return true;
    std::snprintf(why, whySize, "picture size %d x %d is outside 1..%d per side", size.width, size.height, kMaxPictureSide);
    return false;
}

void InspectPicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name) {
    if (kind == PictureKind::Jpeg) {
        // Start of image; what follows is libjpeg's to read.
        if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) throw StartupError(name, "is not a JPEG picture");
        return;
    }
    CheckSides(GifSize(bytes, name), name);
}

}  // namespace app
