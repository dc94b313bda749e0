#include "tools/font/glyph_text.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "app/glyph_atlas.h"
#include "app/program_text.h"
#include "tools/font/program_font.h"
#include "app/startup_error.h"
#include "platform/gdi.h"
#include "tests/support/surfaces.h"

namespace app {
namespace {

TEST(NextCodepoint, DecodesUtf8AndReplacesWhatIsInvalid) {
    struct Case { std::string bytes; std::vector<char32_t> want; };
    const Case cases[] = {
        {"Az", {U'A', U'z'}},
        {"\xC3\xA9", {0xE9}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x8C\x8D", {0x1F30D}},
        {std::string("a\0b", 3), {U'a', 0, U'b'}},
        {"\xC0\x80", {0xFFFD, 0xFFFD}},              // overlong NUL
        {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},  // a surrogate
        {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},  // above U+10FFFF
        {"\xE2\x82", {0xFFFD, 0xFFFD}},              // cut short at the end
        {"\x80x", {0xFFFD, U'x'}},                   // a lone continuation byte
        {"\xF5\x80", {0xFFFD, 0xFFFD}},
        {"\xFF", {0xFFFD}},
    };
    for (const Case& c : cases) {
        std::string_view rest = c.bytes;
        std::vector<char32_t> got;
        while (!rest.empty()) got.push_back(NextCodepoint(rest));
        EXPECT_EQ(got, c.want) << testing::PrintToString(c.bytes);
    }
}

class GlyphTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(TTF_Init(), 0); }
    std::unique_ptr<GlyphText> text_ = OpenProgramFont();
};

TEST_F(GlyphTextTest, PrintsWhiteInkInsideTheLineOnly) {
    platform::Surface s(40, 30, 0x00000000);
    text_->Print(s, 3, 5, "M");
    int inked = 0, white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const platform::ColourValue c = s.Row(y)[x];
            if (c == 0) continue;
            ++inked;
            white += c == 0x00FFFFFF;
            // Grey levels only: white ink over black.
            EXPECT_TRUE(platform::RedOf(c) == platform::GreenOf(c) && platform::GreenOf(c) == platform::BlueOf(c));
            EXPECT_TRUE(x >= 3 && x < 3 + 11 && y >= 5 && y < 5 + text_->LineHeight()) << x << "," << y;
        }
    EXPECT_GT(inked, 10);
    EXPECT_GT(white, 0);
    EXPECT_EQ(text_->LineHeight(), 13);
}

// Printing partly off a surface gives what printing on a larger surface and cutting it
// down gives; printing wholly off it changes nothing.
TEST_F(GlyphTextTest, ClipsAtEveryEdgeAsCroppingWould) {
    constexpr int kMargin = 60;
    struct Case { int x, y; };
    const Case partly[] = {{-4, 0}, {0, -6}, {36, 0}, {0, 25}, {-20, -5}, {30, 22}};
    for (const Case& c : partly) {
        platform::Surface small = testsupport::Noise(40, 30, 3);
        platform::Surface large(40 + 2 * kMargin, 30 + 2 * kMargin, 0);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) large.Row(y + kMargin)[x + kMargin] = small.Row(y)[x];
        text_->Print(small, c.x, c.y, "MW#@\xE2\x82\xAC");
        text_->Print(large, c.x + kMargin, c.y + kMargin, "MW#@\xE2\x82\xAC");
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(small.Row(y)[x], large.Row(y + kMargin)[x + kMargin]) << c.x << "," << c.y << " at " << x << "," << y;
    }
    const Case wholly[] = {{-100, -100}, {INT_MIN, 0}, {0, INT_MAX}, {INT_MAX, 5}, {5, INT_MIN}, {40, 0}, {0, 30}};
    for (const Case& c : wholly) {
        platform::Surface s = testsupport::Noise(40, 30, 3);
        const platform::Surface before = s;
        text_->Print(s, c.x, c.y, "MW#@");
        EXPECT_TRUE(testsupport::SamePixels(s, before)) << c.x << "," << c.y;
    }
}

TEST_F(GlyphTextTest, StopsAtTheRightEdgeOfAnyLength) {
    platform::Surface once(320, 20, 0), huge(320, 20, 0);
    text_->Print(once, 0, 0, std::string(60, 'x'));
    text_->Print(huge, 0, 0, std::string(1 << 20, 'x'));
    EXPECT_TRUE(testsupport::SamePixels(once, huge));
    int inkedColumns = 0;
    for (int x = 0; x < 320; ++x) {
        bool inked = false;
        for (int y = 0; y < 20; ++y) inked = inked || once.Row(y)[x] != 0;
        inkedColumns += inked;
    }
    EXPECT_GT(inkedColumns, 200);  // the line reaches across the surface
}

TEST_F(GlyphTextTest, PrintsTheSameColoursOnAnExchangedLayout) {
    platform::Surface plain = testsupport::Noise(60, 20, 5);
    std::vector<platform::ColourValue> memory(64 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) memory[static_cast<std::size_t>(y * 64 + x)] = platform::SwapRedBlue(plain.Row(y)[x]);
    platform::Surface view = platform::Surface::View(memory.data(), 60, 20, 64, platform::PixelLayout::Rgb);
    text_->Print(plain, 2, 3, "Glimmerix");
    text_->Print(view, 2, 3, "Glimmerix");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(platform::GetPixel(view.hDC(), x, y), plain.Row(y)[x]) << x << "," << y;
}

// The browser's text: an atlas made from the desktop's glyphs and read back prints exactly
// what the desktop prints; a codepoint it lacks prints as U+FFFD.
class GlyphAtlasTest : public GlyphTextTest {
protected:
    GlyphAtlas Made() {
        std::map<char32_t, Glyph> glyphs;
        for (char32_t c = 0; c < 0x100; ++c) glyphs.emplace(c, text_->GlyphOf(c));
        glyphs.emplace(kReplacementCharacter, text_->GlyphOf(kReplacementCharacter));
        return GlyphAtlas(text_->LineHeight(), std::move(glyphs));
    }
};

TEST_F(GlyphAtlasTest, ReadBackPrintsWhatTheFontPrints) {
    const GlyphAtlas readBack = GlyphAtlas::Decode(Made().Encode(), "atlas");
    for (const GlyphAtlas* atlas : {&readBack, &ProgramGlyphs()}) {  // the program's own, compiled in, too
        EXPECT_EQ(atlas->LineHeight(), text_->LineHeight());
        struct Case { int x, y; std::string printed, desktop; };
        const Case cases[] = {
            {0, 0, "Frames per Second: 60", "Frames per Second: 60"},
            {3, 5, "Current Effect: 17 \xC3\xA9\xC3\xBF\xC2\xA0", "Current Effect: 17 \xC3\xA9\xC3\xBF\xC2\xA0"},
            {-7, -4, "clipped #@!", "clipped #@!"},
            {150, 12, std::string(80, 'W'), std::string(80, 'W')},
            {1, 1, "\xE2\x82\xAC\xF0\x9F\x8C\x8D|\xFF", "\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD"},
        };
        for (const Case& c : cases) {
            platform::Surface fromAtlas = testsupport::Noise(200, 24, 9);
            platform::Surface fromFont = fromAtlas;
            atlas->Print(fromAtlas, c.x, c.y, c.printed, kTextColour);
            text_->Print(fromFont, c.x, c.y, c.desktop);
            EXPECT_TRUE(testsupport::SamePixels(fromAtlas, fromFont)) << c.printed;
        }
    }
}

TEST_F(GlyphAtlasTest, DamagedFilesAreRefusedWithWhatIsWrong) {
    const std::vector<std::uint8_t> good = Made().Encode();
    constexpr std::size_t kHeader = 12, kGlyphHead = 12;
    const auto with = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> damaged = good;
        std::copy(bytes.begin(), bytes.end(), damaged.begin() + static_cast<std::ptrdiff_t>(at));
        return damaged;
    };
    const auto cut = [&](std::size_t size) { return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)); };
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    struct Case { std::vector<std::uint8_t> bytes; const char* says; };
    const Case cases[] = {
        {{}, "ends inside its signature"},
        {with(0, {'P'}), "wrong signature"},
        {cut(9), "ends inside its line height"},
        {cut(kHeader), "ends inside a glyph"},
        {cut(good.size() - 1), "ends inside a glyph's coverage"},
        {longer, "bytes after the last glyph"},
        {with(8, {0, 0}), "line height 0"},
        {with(10, {0x01, 0x10}), "4097 glyphs, more than 4096"},
        {with(kHeader + kGlyphHead, {0, 0, 0, 0}), "glyph 1: codepoints out of order"},
        {with(kHeader, {0, 0, 0x11, 0}), "glyph 0: codepoints out of order"},
        {with(kHeader + 8, {0x01, 0x01}), "glyph 0: a cell larger than 256 pixels"},
    };
    for (const Case& c : cases) {
        try {
            GlyphAtlas::Decode(c.bytes, "Glyphs.atlas");
            ADD_FAILURE() << "accepted: " << c.says;
        } catch (const StartupError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Glyphs.atlas: not a glyph atlas: ") + c.says);
        }
    }
}

}  // namespace
}  // namespace app
