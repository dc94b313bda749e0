#include "app/picture_header.h"

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
    int BigEndian16() {
        Need(2);
        at_ += 2;
        return bytes_[at_ - 2] << 8 | bytes_[at_ - 1];
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
    if (size.width < 1 || size.height < 1 || size.width > kMaxPictureSide || size.height > kMaxPictureSide) {
        throw StartupError(name, "picture size " + std::to_string(size.width) + " x " + std::to_string(size.height) +
                                     " is outside 1.." + std::to_string(kMaxPictureSide) + " per side");
    }
}

bool IsFrameMarker(std::uint8_t m) {
    // SOF0..SOF15, except DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureSize JpegSize(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    Reader in(bytes, name);
    if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF) {
        throw StartupError(name, "is not a JPEG picture");
    }
    in.Skip(2);
    for (;;) {
        if (in.Byte() != 0xFF) throw StartupError(name, "JPEG marker expected; the file is damaged");
        std::uint8_t marker = in.Byte();
        while (marker == 0xFF) marker = in.Byte();  // fill bytes
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) throw StartupError(name, "JPEG has no frame header");
        const int length = in.BigEndian16();
        if (length < 2) throw StartupError(name, "JPEG segment length is invalid");
        if (IsFrameMarker(marker)) {
            in.Skip(1);  // sample precision
            const int height = in.BigEndian16();
            const int width = in.BigEndian16();
            return {width, height};
        }
        in.Skip(static_cast<std::size_t>(length - 2));
    }
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

PictureSize InspectPicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name) {
    const PictureSize size = kind == PictureKind::Jpeg ? JpegSize(bytes, name) : GifSize(bytes, name);
    CheckSides(size, name);
    return size;
}

}  // namespace app
