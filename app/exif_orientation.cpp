#include "app/exif_orientation.h"

#include <cstring>

namespace app {
namespace {

// A bounds-checked view of the TIFF structure inside the Exif block, in its byte order.
class Tiff {
public:
    Tiff(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    bool BigEndian() const { return bytes_[0] == 'M'; }
    bool Has(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }
    unsigned U16(std::size_t at) const {
        return BigEndian() ? bytes_[at] << 8 | bytes_[at + 1] : bytes_[at + 1] << 8 | bytes_[at];
    }
    std::uint32_t U32(std::size_t at) const {
        return BigEndian() ? std::uint32_t{U16(at)} << 16 | U16(at + 2) : std::uint32_t{U16(at + 2)} << 16 | U16(at);
    }

private:
    const std::uint8_t* bytes_;
    std::size_t size_;
};

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShortType = 3;

}  // namespace

Orientation ExifOrientation(const std::uint8_t* payload, std::size_t size) {
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < sizeof kExif + 8 || std::memcmp(payload, kExif, sizeof kExif) != 0) return Orientation::Upright;
    const Tiff tiff(payload + sizeof kExif, size - sizeof kExif);
    const std::uint8_t* order = payload + sizeof kExif;
    if (!((order[0] == 'I' && order[1] == 'I') || (order[0] == 'M' && order[1] == 'M')) || tiff.U16(2) != 42) {
        return Orientation::Upright;
    }
    const std::uint32_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) return Orientation::Upright;
    const unsigned entries = tiff.U16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t{12} * i;
        if (!tiff.Has(entry, 12)) break;
        if (tiff.U16(entry) != kOrientationTag) continue;
        const unsigned value = tiff.U16(entry + 8);
        if (tiff.U16(entry + 2) != kShortType || value < 1 || value > 8) break;
        return static_cast<Orientation>(value);
    }
    return Orientation::Upright;
}

Point ShownAt(Orientation o, int width, int height, Point p) {
    const int right = width - 1, bottom = height - 1;
    switch (o) {
        case Orientation::Upright: return p;
        case Orientation::Mirrored: return {right - p.x, p.y};
        case Orientation::HalfTurn: return {right - p.x, bottom - p.y};
        case Orientation::Flipped: return {p.x, bottom - p.y};
        case Orientation::Transposed: return {p.y, p.x};
        case Orientation::TurnClockwise: return {bottom - p.y, p.x};
        case Orientation::Transverse: return {bottom - p.y, right - p.x};
        case Orientation::TurnAnticlockwise: return {p.y, right - p.x};
    }
    return p;
}

// Each orientation undoes itself but for the quarter turns, which undo each other; the
// picture shown upright is height x width where the orientation exchanges the sides.
Point StoredAt(Orientation o, int width, int height, Point q) {
    const Orientation undo = o == Orientation::TurnClockwise       ? Orientation::TurnAnticlockwise
                             : o == Orientation::TurnAnticlockwise ? Orientation::TurnClockwise
                                                                   : o;
    return SwapsSides(o) ? ShownAt(undo, height, width, q) : ShownAt(undo, width, height, q);
}

}  // namespace app
