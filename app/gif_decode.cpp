#include "app/gif_decode.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "app/picture_header.h"
#include "app/startup_error.h"
#include "platform/colour.h"

namespace app {
namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide
constexpr int kMaxCodeWidth = 12;

[[noreturn]] void Damaged(const std::string& name, const std::string& why) {
    throw StartupError(name, "cannot be decoded: " + why);
}

// The file's bytes, read forward; running out is damage.
class Bytes {
public:
    Bytes(const std::vector<std::uint8_t>& bytes, const std::string& name) : bytes_(bytes), name_(name) {}
    std::uint8_t Byte(const char* what) { return *Take(1, what); }
    int Le16(const char* what) {
        const std::uint8_t* p = Take(2, what);
        return p[0] | p[1] << 8;
    }
    const std::uint8_t* Take(std::size_t n, const char* what) {
        if (bytes_.size() - at_ < n) Damaged(name_, std::string("the file ends inside ") + what);
        at_ += n;
        return bytes_.data() + at_ - n;
    }
    // Sub-blocks: a length byte, that many bytes, until a length of 0.
    void SkipSubBlocks(const char* what) {
        for (std::uint8_t n; (n = Byte(what)) != 0;) Take(n, what);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    const std::string& name_;
    std::size_t at_ = 0;
};

// A colour table of 2^(n+1) entries as the target stores colour values.
struct ColourTable {
    std::array<platform::ColourValue, 256> colours{};
    int count = 0;
};

ColourTable ReadColourTable(Bytes& in, std::uint8_t flags, platform::PixelLayout layout) {
    ColourTable table;
    table.count = 2 << (flags & 7);
    const std::uint8_t* rgb = in.Take(3 * static_cast<std::size_t>(table.count), "a colour table");
    for (int i = 0; i < table.count; ++i, rgb += 3) {
        const platform::ColourValue c = platform::PackRgb(rgb[0], rgb[1], rgb[2]);
        table.colours[static_cast<std::size_t>(i)] = layout == platform::PixelLayout::Rgb ? platform::SwapRedBlue(c) : c;
    }
    return table;
}

// The image data's sub-blocks as one stream of codes, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(Bytes& in) : in_(in) {}
    // False once the sub-blocks end.
    bool Next(int width, int& code) {
        while (bitCount_ < width) {
            if (left_ == 0) {
                if (ended_ || (left_ = in_.Byte("the image data")) == 0) {
                    ended_ = true;
                    return false;
                }
            }
            bits_ |= static_cast<std::uint32_t>(in_.Byte("the image data")) << bitCount_;
            bitCount_ += 8;
            --left_;
        }
        code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return true;
    }

private:
    Bytes& in_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    int left_ = 0;
    bool ended_ = false;
};

// Where the image's pixels go, in the order the data gives them: row by row, or in the
// four passes of an interlaced image (every 8th row from 0, every 8th from 4, every 4th
// from 2, every 2nd from 1). Only the part on the target is written; runs of pixels that
// land nowhere on it are counted, not walked.
class PixelSink {
public:
    PixelSink(platform::Surface& target, const platform::PixelRect& image, bool interlaced, const ColourTable& table,
              int transparent, const std::string& name)
        : target_(target), image_(image), visible_(target.Clip(image.left, image.top, image.Width(), image.Height())),
          interlaced_(interlaced), table_(table), transparent_(transparent), name_(name) {}

    // The next `count` pixels, whose largest colour index is `largest`: skipped when none of
    // them lands on the target, otherwise left to Put. False when they must be put.
    bool Skip(int count, int largest) {
        CheckIndex(largest);
        Position at = at_;
        for (int left = count; left > 0;) {
            const int run = std::min(left, image_.Width() - at.column);
            const int y = image_.top + at.row, x = image_.left + at.column;
            if (y >= visible_.top && y < visible_.bottom && x < visible_.right && x + run > visible_.left) return false;
            left -= run;
            at.column += run;
            if (at.column == image_.Width()) NextRow(at);
            if (at.pass > kLastPass) break;  // the image is complete; the caller reports the surplus
        }
        at_ = at;
        count_ += count;
        return true;
    }

    // False once every pixel that can still land on the target has come.
    bool Put(std::uint8_t index) {
        CheckIndex(index);
        const int x = image_.left + at_.column, y = image_.top + at_.row;
        if (index != transparent_ && y >= visible_.top && y < visible_.bottom && x >= visible_.left && x < visible_.right) {
            target_.Row(y)[x] = table_.colours[index];
        }
        ++count_;
        if (++at_.column == image_.Width()) NextRow(at_);
        return !Done();
    }
    // Nothing still to come lands on the target: the rows left of this pass, and each later
    // pass's rows from its first, all lie below it (or the image is complete).
    bool Done() const {
        if (count_ >= Total() || visible_.Empty()) return true;
        if (image_.top + at_.row < visible_.bottom) return false;
        for (int pass = at_.pass + 1; interlaced_ && pass <= kLastPass; ++pass) {
            if (kStart[pass] < image_.Height() && image_.top + kStart[pass] < visible_.bottom) return false;
        }
        return true;
    }
    std::int64_t Count() const { return count_; }
    std::int64_t Total() const { return std::int64_t{image_.Width()} * image_.Height(); }

private:
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    static constexpr int kLastPass = 3;
    struct Position {
        int column = 0, row = 0, pass = 0;
    };

    void CheckIndex(int index) const {
        if (index >= table_.count) {
            Damaged(name_, "pixel colour " + std::to_string(index) + " is outside the colour table of " +
                               std::to_string(table_.count));
        }
    }
    // The pass after the last is kLastPass + 1.
    void NextRow(Position& at) const {
        at.column = 0;
        if (!interlaced_) {
            if (++at.row == image_.Height()) at.pass = kLastPass + 1;
            return;
        }
        at.row += kStep[at.pass];
        while (at.row >= image_.Height() && ++at.pass <= kLastPass) at.row = kStart[at.pass];
    }

    platform::Surface& target_;
    platform::PixelRect image_;    // on the picture, whose top-left is the target's
    platform::PixelRect visible_;  // the part of the image on the target
    bool interlaced_;
    const ColourTable& table_;
    int transparent_;  // -1 for none
    const std::string& name_;
    Position at_;
    std::int64_t count_ = 0;
};

// The LZW code stream of one image into the sink, until the sink is full or the end code.
// Each code's string length and largest colour are kept beside it, so that a string that
// lands nowhere on the target costs one step however long it is.
void DecodeLzw(Bytes& in, int minimumCodeSize, PixelSink& sink, const std::string& name) {
    const int clear = 1 << minimumCodeSize, end = clear + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{};
    std::array<std::uint8_t, kMaxCodes> firstOf{};
    std::array<std::uint8_t, kMaxCodes> largest{};
    std::array<std::uint16_t, kMaxCodes> length{};
    for (int c = 0; c < clear; ++c) {
        firstOf[static_cast<std::size_t>(c)] = largest[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
        length[static_cast<std::size_t>(c)] = 1;
    }
    std::array<std::uint8_t, kMaxCodes> stack{};
    int width = minimumCodeSize + 1, next = clear + 2, previous = -1;
    CodeReader codes(in);
    if (sink.Done()) return;  // nothing of the image lands on the target
    for (int code; codes.Next(width, code);) {
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) return;
        if (previous < 0 ? code > end : code > next || (code == next && next == kMaxCodes)) {
            Damaged(name, "LZW code " + std::to_string(code) + " refers to no entry; " + std::to_string(next) +
                              " are defined");
        }
        if (previous < 0) {  // the first code after a clear is a colour of its own
            previous = code;
            if (!sink.Put(static_cast<std::uint8_t>(code))) return;
            continue;
        }
        const auto p = static_cast<std::size_t>(previous);
        // A code not yet defined (only `next` can be) is the previous string and its first byte.
        const std::uint8_t first = firstOf[static_cast<std::size_t>(code == next ? previous : code)];
        // A full table stays as it is until the encoder clears it.
        if (next < kMaxCodes) {
            const auto n = static_cast<std::size_t>(next);
            prefix[n] = static_cast<std::uint16_t>(previous);
            suffix[n] = first;
            firstOf[n] = firstOf[p];
            largest[n] = std::max(largest[p], first);
            length[n] = static_cast<std::uint16_t>(length[p] + 1);
            if (++next == 1 << width && width < kMaxCodeWidth) ++width;
        }
        previous = code;
        const auto c = static_cast<std::size_t>(code);
        if (sink.Skip(length[c], largest[c])) {
            if (sink.Done()) return;
            continue;
        }
        int top = 0;
        for (int walk = code; walk > end; walk = prefix[static_cast<std::size_t>(walk)])
            stack[static_cast<std::size_t>(top++)] = suffix[static_cast<std::size_t>(walk)];
        stack[static_cast<std::size_t>(top++)] = first;
        while (top > 0)
            if (!sink.Put(stack[static_cast<std::size_t>(--top)])) return;
    }
}

}  // namespace

bool IsGif(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 6 && (std::memcmp(bytes.data(), "GIF87a", 6) == 0 || std::memcmp(bytes.data(), "GIF89a", 6) == 0);
}

void DecodeGifOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target) {
    if (!IsGif(bytes)) throw StartupError(name, "is not a GIF picture");
    Bytes in(bytes, name);
    in.Take(6, "the signature");
    const int screenWidth = in.Le16("the screen descriptor"), screenHeight = in.Le16("the screen descriptor");
    const std::uint8_t screenFlags = in.Byte("the screen descriptor");
    in.Take(2, "the screen descriptor");  // background colour and aspect: not used
    ColourTable global;
    if (screenFlags & 0x80) global = ReadColourTable(in, screenFlags, target.Layout());
    int transparent = -1;
    for (;;) {
        const std::uint8_t block = in.Byte("the blocks before the image");
        if (block == 0x3B) Damaged(name, "the file ends before its first image");
        if (block == 0x21) {
            const std::uint8_t label = in.Byte("an extension");
            if (label != 0xF9) {
                in.SkipSubBlocks("an extension");
                continue;
            }
            const std::uint8_t size = in.Byte("a graphic control extension");
            if (size != 4) Damaged(name, "graphic control extension of " + std::to_string(size) + " bytes; 4 expected");
            const std::uint8_t* control = in.Take(4, "a graphic control extension");
            transparent = (control[0] & 1) != 0 ? control[3] : -1;
            in.SkipSubBlocks("a graphic control extension");
            continue;
        }
        if (block != 0x2C) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", block);
            Damaged(name, std::string("unknown block ") + hex + " before the first image");
        }
        break;
    }
    const int left = in.Le16("the image descriptor"), top = in.Le16("the image descriptor");
    const int width = in.Le16("the image descriptor"), height = in.Le16("the image descriptor");
    const std::uint8_t imageFlags = in.Byte("the image descriptor");
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
        Damaged(name, "image size " + std::to_string(width) + " x " + std::to_string(height) + " is outside 1.." +
                          std::to_string(kMaxPictureSide) + " per side");
    }
    const ColourTable local = (imageFlags & 0x80) ? ReadColourTable(in, imageFlags, target.Layout()) : ColourTable{};
    const ColourTable& table = (imageFlags & 0x80) ? local : global;
    if (table.count == 0) Damaged(name, "the image has no colour table");
    const int minimumCodeSize = in.Byte("the image data");
    if (minimumCodeSize < 1 || minimumCodeSize > 8) {
        Damaged(name, "LZW minimum code size " + std::to_string(minimumCodeSize) + " is outside 1..8");
    }

    // The picture is the screen: an image reaching beyond it is cut at its edges.
    target.Clear();
    if (target.Width() == 0 || target.Height() == 0) return;
    platform::Surface picture = platform::Surface::View(target.Row(0), std::min(target.Width(), screenWidth),
                                                        std::min(target.Height(), screenHeight), target.Pitch(),
                                                        target.Layout());
    PixelSink sink(picture, {left, top, left + width, top + height}, (imageFlags & 0x40) != 0, table, transparent, name);
    DecodeLzw(in, minimumCodeSize, sink, name);
    if (!sink.Done()) {
        Damaged(name, "the image data ends after " + std::to_string(sink.Count()) + " of " + std::to_string(sink.Total()) +
                          " pixels");
    }
}

}  // namespace app
