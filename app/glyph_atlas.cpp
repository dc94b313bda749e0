#include "app/glyph_atlas.h"

#include <cstring>

#include "app/startup_error.h"

namespace app {
namespace {

constexpr char kMagic[] = "GLMXGLY1";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;

const Glyph kNoGlyph{};

class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, const std::string& name) : bytes_(bytes), name_(name) {}

    std::uint32_t Take(std::size_t n, const char* what) {
        Need(n, what);
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= std::uint32_t{bytes_[at_ + i]} << (8 * i);
        at_ += n;
        return v;
    }
    const std::uint8_t* Skip(std::size_t n, const char* what) {
        Need(n, what);
        const std::uint8_t* p = bytes_.data() + at_;
        at_ += n;
        return p;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }
    [[noreturn]] void Fail(const std::string& why) const { throw StartupError(name_, "not a glyph atlas: " + why); }

private:
    void Need(std::size_t n, const char* what) const {
        if (bytes_.size() - at_ < n) Fail(std::string("ends inside ") + what);
    }
    const std::vector<std::uint8_t>& bytes_;
    const std::string& name_;
    std::size_t at_ = 0;
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

GlyphAtlas::GlyphAtlas(int lineHeight, std::map<char32_t, Glyph> glyphs)
    : lineHeight_(lineHeight), glyphs_(std::move(glyphs)) {}

GlyphAtlas GlyphAtlas::Decode(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    Reader in(bytes, name);
    if (std::memcmp(in.Skip(kMagicSize, "its signature"), kMagic, kMagicSize) != 0) in.Fail("wrong signature");
    const auto lineHeight = static_cast<int>(in.Take(2, "its line height"));
    const auto count = static_cast<int>(in.Take(2, "its glyph count"));
    if (lineHeight < 1 || lineHeight > kMaxAtlasCellSide) in.Fail("line height " + std::to_string(lineHeight));
    if (count > kMaxAtlasGlyphs) in.Fail(std::to_string(count) + " glyphs, more than " + std::to_string(kMaxAtlasGlyphs));
    std::map<char32_t, Glyph> glyphs;
    char32_t previous = 0;
    for (int i = 0; i < count; ++i) {
        const std::string which = "glyph " + std::to_string(i);
        const char32_t codepoint = in.Take(4, "a glyph");
        const auto advance = static_cast<int>(in.Take(2, "a glyph"));
        const auto top = static_cast<int>(in.Take(2, "a glyph"));
        const auto width = static_cast<int>(in.Take(2, "a glyph"));
        const auto height = static_cast<int>(in.Take(2, "a glyph"));
        if (codepoint > 0x10FFFF || (i > 0 && codepoint <= previous)) in.Fail(which + ": codepoints out of order");
        if (advance > kMaxAtlasCellSide || top > kMaxAtlasCellSide || width > kMaxAtlasCellSide ||
            height > kMaxAtlasCellSide) {
            in.Fail(which + ": a cell larger than " + std::to_string(kMaxAtlasCellSide) + " pixels");
        }
        const std::uint8_t* rows =
            in.Skip(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), "a glyph's coverage");
        glyphs.emplace(codepoint, MakeGlyph(advance, top, width, height, rows));
        previous = codepoint;
    }
    if (!in.AtEnd()) in.Fail("bytes after the last glyph");
    return GlyphAtlas(lineHeight, std::move(glyphs));
}

std::vector<std::uint8_t> GlyphAtlas::Encode() const {
    std::vector<std::uint8_t> out(kMagic, kMagic + kMagicSize);
    Put(out, static_cast<std::uint32_t>(lineHeight_), 2);
    Put(out, static_cast<std::uint32_t>(glyphs_.size()), 2);
    for (const auto& [codepoint, glyph] : glyphs_) {
        Put(out, codepoint, 4);
        for (const int v : {glyph.advance, glyph.top, glyph.width, glyph.height}) Put(out, static_cast<std::uint32_t>(v), 2);
        for (int y = 0; y < glyph.height; ++y) {
            const auto row = glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.stride;
            out.insert(out.end(), row, row + glyph.width);
        }
    }
    return out;
}

const Glyph& GlyphAtlas::GlyphOf(char32_t codepoint) const {
    auto found = glyphs_.find(codepoint);
    if (found == glyphs_.end()) found = glyphs_.find(kReplacementCharacter);
    return found != glyphs_.end() ? found->second : kNoGlyph;
}

platform::PixelRect GlyphAtlas::Print(platform::Surface& surface, int x, int y, std::string_view text,
                                      platform::ColourValue colour) const {
    return PrintGlyphs(surface, x, y, text, colour, lineHeight_, [this](char32_t c) -> const Glyph& { return GlyphOf(c); });
}

}  // namespace app
