#include "app/sdl/glyph_text.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <climits>

#include "app/sdl/program_font.h"
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

}  // namespace
}  // namespace app
