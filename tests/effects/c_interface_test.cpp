#include <glimmerix/glimmerix.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effects/effect_table.h"

extern "C" const char* StatusTextFromC(int status);

namespace {

// Caller-owned pixels with a pitch wider than the row: random bytes everywhere, the fourth
// byte of every pixel and the padding between rows included.
struct Image {
    int width, height, pitch;
    glimmerix_format format;
    std::vector<std::uint32_t> words;

    Image(int w, int h, glimmerix_format f, std::uint32_t seed, int padWords = 3)
        : width(w), height(h), pitch(4 * (w + padWords)), format(f),
          words(static_cast<std::size_t>(w + padWords) * static_cast<std::size_t>(h)) {
        std::mt19937 rng(seed);
        for (std::uint32_t& v : words) v = rng();
    }
    glimmerix_image View() { return {words.data(), width, height, pitch, format}; }
    std::uint32_t& At(int x, int y) { return words[static_cast<std::size_t>(y) * (pitch / 4) + x]; }
};

bool RedLow(glimmerix_format f) { return f == GLIMMERIX_FORMAT_XBGR8888 || f == GLIMMERIX_FORMAT_ABGR8888; }

struct Rgb { int r, g, b; };

Rgb ChannelsOf(std::uint32_t v, glimmerix_format f) {
    const int low = static_cast<int>(v & 0xFF), mid = static_cast<int>(v >> 8 & 0xFF), high = static_cast<int>(v >> 16 & 0xFF);
    return RedLow(f) ? Rgb{low, mid, high} : Rgb{high, mid, low};
}

std::uint32_t WithChannels(std::uint32_t v, Rgb c, glimmerix_format f) {
    const auto low = static_cast<std::uint32_t>(RedLow(f) ? c.r : c.b);
    const auto high = static_cast<std::uint32_t>(RedLow(f) ? c.b : c.r);
    return (v & 0xFF000000u) | high << 16 | static_cast<std::uint32_t>(c.g) << 8 | low;
}

void StoreFormat(glimmerix_image& image, int value) { std::memcpy(&image.format, &value, sizeof value); }

const glimmerix_format kFormats[] = {GLIMMERIX_FORMAT_XBGR8888, GLIMMERIX_FORMAT_XRGB8888, GLIMMERIX_FORMAT_ABGR8888,
                                     GLIMMERIX_FORMAT_ARGB8888};

struct SpriteHandle {
    glimmerix_sprite* p = nullptr;
    ~SpriteHandle() { glimmerix_sprite_free(p); }
};

// The per-pixel definition, written from the header alone: the sprite's channels are the
// source image's (white outside it); every image pixel under the sprite becomes the three
// table entries; everything else, the fourth byte and the padding stay.
void ReferenceDraw(Image& dst, Image& src, int sx, int sy, int w, int h, int effect, int x, int y) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const std::int64_t px = std::int64_t{sx} + i, py = std::int64_t{sy} + j;
            const bool inSource = px >= 0 && py >= 0 && px < src.width && py < src.height;
            const Rgb s = inSource ? ChannelsOf(src.At(static_cast<int>(px), static_cast<int>(py)), src.format)
                                   : Rgb{255, 255, 255};
            const std::int64_t tx = std::int64_t{x} + i, ty = std::int64_t{y} + j;
            if (tx < 0 || ty < 0 || tx >= dst.width || ty >= dst.height) continue;
            std::uint32_t& d = dst.At(static_cast<int>(tx), static_cast<int>(ty));
            const Rgb dc = ChannelsOf(d, dst.format);
            d = WithChannels(d, {glimmerix_blend(effect, dc.r, s.r), glimmerix_blend(effect, dc.g, s.g),
                                 glimmerix_blend(effect, dc.b, s.b)}, dst.format);
        }
}

TEST(CInterface, EveryFormatPairEqualsTheDefinitionAtClippedPositions) {
    std::mt19937 rng(4242);
    for (glimmerix_format from : kFormats)
        for (glimmerix_format to : kFormats) {
            SCOPED_TRACE(testing::Message() << "capture format " << from << ", draw format " << to);
            for (int n = 0; n < 40; ++n) {
                Image src(30, 25, from, rng());
                const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 40);
                const int sx = static_cast<int>(rng() % 50) - 20, sy = static_cast<int>(rng() % 50) - 20;
                glimmerix_image srcView = src.View();
                SpriteHandle sprite;
                ASSERT_EQ(glimmerix_sprite_capture(&srcView, sx, sy, w, h, &sprite.p), GLIMMERIX_OK);
                ASSERT_EQ(glimmerix_sprite_width(sprite.p), w);
                ASSERT_EQ(glimmerix_sprite_height(sprite.p), h);

                const int effect = static_cast<int>(rng() % GLIMMERIX_EFFECT_COUNT);
                const int x = static_cast<int>(rng() % 100) - 45, y = static_cast<int>(rng() % 90) - 45;
                Image fast(50, 40, to, rng()), slow = fast;
                glimmerix_image view = fast.View();
                ASSERT_EQ(glimmerix_draw(&view, sprite.p, effect, x, y), GLIMMERIX_OK);
                ReferenceDraw(slow, src, sx, sy, w, h, effect, x, y);
                ASSERT_EQ(fast.words, slow.words) << w << "x" << h << " from " << sx << "," << sy << " at " << x
                                                  << "," << y << " effect " << effect;
            }
        }
}

TEST(CInterface, PositionsAtTheEndsOfTheIntegerRangeChangeNothing) {
    Image src(8, 8, GLIMMERIX_FORMAT_ARGB8888, 1);
    glimmerix_image srcView = src.View();
    SpriteHandle sprite;
    ASSERT_EQ(glimmerix_sprite_capture(&srcView, INT_MAX, INT_MIN, 5, 5, &sprite.p), GLIMMERIX_OK);
    Image dst(8, 8, GLIMMERIX_FORMAT_ARGB8888, 2);
    const std::vector<std::uint32_t> before = dst.words;
    glimmerix_image view = dst.View();
    for (const auto& [x, y] : {std::pair{INT_MAX, 0}, {INT_MIN, 0}, {0, INT_MAX}, {INT_MAX - 2, INT_MIN + 2}}) {
        EXPECT_EQ(glimmerix_draw(&view, sprite.p, 0, x, y), GLIMMERIX_OK);
    }
    EXPECT_EQ(dst.words, before);
    // Captured wholly outside: white.
    Image one(1, 1, GLIMMERIX_FORMAT_XBGR8888, 3);
    const std::uint32_t fourth = one.words[0] & 0xFF000000u;
    glimmerix_image oneView = one.View();
    ASSERT_EQ(glimmerix_draw(&oneView, sprite.p, 0, 0, 0), GLIMMERIX_OK);  // saturating sum with white
    EXPECT_EQ(one.words[0], fourth | 0x00FFFFFFu);
}

TEST(CInterface, TheTableIsTheEnginesEntryByEntry) {
    mdlEffects::BuildEffectTables();
    const std::uint8_t* table = glimmerix_effect_table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::memcmp(table, mdlEffects::EffectTable.Data(), mdlEffects::EFFECT_TABLE_BYTES), 0);
    EXPECT_EQ(glimmerix_effect_table(), table);  // built once
    for (const auto& [e, d, s] : {std::tuple{0, 255, 255}, {17, 0, 0}, {3, 128, 7}, {14, 200, 100}})
        EXPECT_EQ(glimmerix_blend(e, d, s), table[e + 18 * d + 4608 * s]);
}

struct BlendRefusal { int effect, d, s; };
TEST(CInterface, BlendRefusesArgumentsOutOfRange) {
    for (const auto& c : {BlendRefusal{-1, 0, 0}, {18, 0, 0}, {INT_MIN, 0, 0}, {0, -1, 0}, {0, 256, 0}, {0, 0, -1},
                          {0, 0, 256}, {0, INT_MAX, INT_MIN}})
        EXPECT_EQ(glimmerix_blend(c.effect, c.d, c.s), GLIMMERIX_ERROR_ARGUMENT) << c.effect << " " << c.d << " " << c.s;
}

TEST(CInterface, NamesVersionAndStatusTexts) {
    EXPECT_STREQ(glimmerix_effect_name(3), "Screen");
    for (int e = 0; e < GLIMMERIX_EFFECT_COUNT; ++e) EXPECT_NE(glimmerix_effect_name(e), nullptr) << e;
    for (int e : {-1, 18, INT_MIN, INT_MAX}) EXPECT_EQ(glimmerix_effect_name(e), nullptr) << e;
    EXPECT_EQ(std::string(glimmerix_version()), std::to_string(GLIMMERIX_VERSION_MAJOR) + "." +
                                                    std::to_string(GLIMMERIX_VERSION_MINOR) + "." +
                                                    std::to_string(GLIMMERIX_VERSION_PATCH));
    std::vector<std::string> texts;
    // Unknown values come from C, where a status is any int (checked under clang's enum sanitizer).
    for (int s : {0, -1, -2, -3, -99, 7}) texts.emplace_back(StatusTextFromC(s));
    EXPECT_EQ(texts[4], texts[5]);
    texts.pop_back();
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j) EXPECT_NE(texts[i], texts[j]);
}

// Every way an image or an argument can be wrong: the status, and nothing written.
struct Refusal {
    const char* what;
    glimmerix_status expected;
    void (*spoil)(glimmerix_image&, int& effect, int& width, int& height);
};

const Refusal kRefusals[] = {
    {"null pixels", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.pixels = nullptr; }},
    {"misaligned pixels", GLIMMERIX_ERROR_IMAGE,
     [](glimmerix_image& i, int&, int&, int&) { i.pixels = static_cast<char*>(i.pixels) + 1; }},
    {"width 0", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.width = 0; }},
    {"height -1", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.height = -1; }},
    {"width above the limit", GLIMMERIX_ERROR_IMAGE,
     [](glimmerix_image& i, int&, int&, int&) { i.width = GLIMMERIX_MAX_IMAGE_SIDE + 1; i.pitch = INT_MAX - 3; }},
    {"pitch below 4 x width", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.pitch = 4 * i.width - 4; }},
    {"pitch not a multiple of 4", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.pitch += 2; }},
    {"negative pitch", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.pitch = -i.pitch; }},
    {"format 0", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.format = static_cast<glimmerix_format>(0); }},
    {"format 5", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { i.format = static_cast<glimmerix_format>(5); }},
    // Values the enum cannot hold, as a C caller may pass them: written as the integer they are.
    {"format 8", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { StoreFormat(i, 8); }},
    {"format -1", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { StoreFormat(i, -1); }},
    {"format INT_MAX", GLIMMERIX_ERROR_IMAGE, [](glimmerix_image& i, int&, int&, int&) { StoreFormat(i, INT_MAX); }},
    {"effect -1", GLIMMERIX_ERROR_ARGUMENT, [](glimmerix_image&, int& e, int&, int&) { e = -1; }},
    {"effect 18", GLIMMERIX_ERROR_ARGUMENT, [](glimmerix_image&, int& e, int&, int&) { e = 18; }},
    {"sprite width 0", GLIMMERIX_ERROR_ARGUMENT, [](glimmerix_image&, int&, int& w, int&) { w = 0; }},
    {"sprite height above the limit", GLIMMERIX_ERROR_ARGUMENT,
     [](glimmerix_image&, int&, int&, int& h) { h = GLIMMERIX_MAX_SPRITE_SIDE + 1; }},
    {"sprite width INT_MIN", GLIMMERIX_ERROR_ARGUMENT, [](glimmerix_image&, int&, int& w, int&) { w = INT_MIN; }},
};

TEST(CInterface, RefusedCallsReturnTheirStatusAndChangeNothing) {
    for (const Refusal& r : kRefusals) {
        SCOPED_TRACE(r.what);
        Image img(20, 10, GLIMMERIX_FORMAT_ARGB8888, 9);
        const std::vector<std::uint32_t> before = img.words;
        SpriteHandle good;
        glimmerix_image view = img.View();
        ASSERT_EQ(glimmerix_sprite_capture(&view, 0, 0, 5, 5, &good.p), GLIMMERIX_OK);
        int effect = 0, width = 5, height = 5;
        r.spoil(view, effect, width, height);
        const bool aboutDrawing = effect != 0, aboutCapture = width != 5 || height != 5;
        if (!aboutCapture) {
            EXPECT_EQ(glimmerix_draw(&view, good.p, effect, 2, 2), r.expected);
        }
        if (!aboutDrawing) {
            glimmerix_sprite* untouched = reinterpret_cast<glimmerix_sprite*>(&img);
            EXPECT_EQ(glimmerix_sprite_capture(&view, 0, 0, width, height, &untouched), r.expected);
            EXPECT_EQ(untouched, reinterpret_cast<glimmerix_sprite*>(&img));
        }
        EXPECT_EQ(img.words, before);
    }
}

TEST(CInterface, NullPointersAreArgumentErrors) {
    Image img(4, 4, GLIMMERIX_FORMAT_XRGB8888, 5);
    glimmerix_image view = img.View();
    SpriteHandle sprite;
    ASSERT_EQ(glimmerix_sprite_capture(&view, 0, 0, 2, 2, &sprite.p), GLIMMERIX_OK);
    EXPECT_EQ(glimmerix_sprite_capture(nullptr, 0, 0, 2, 2, &sprite.p), GLIMMERIX_ERROR_ARGUMENT);
    EXPECT_EQ(glimmerix_sprite_capture(&view, 0, 0, 2, 2, nullptr), GLIMMERIX_ERROR_ARGUMENT);
    EXPECT_EQ(glimmerix_draw(nullptr, sprite.p, 0, 0, 0), GLIMMERIX_ERROR_ARGUMENT);
    EXPECT_EQ(glimmerix_draw(&view, nullptr, 0, 0, 0), GLIMMERIX_ERROR_ARGUMENT);
    EXPECT_EQ(glimmerix_sprite_width(nullptr), 0);
    EXPECT_EQ(glimmerix_sprite_height(nullptr), 0);
    glimmerix_sprite_free(nullptr);
}

// Threads draw the same sprite onto images of their own, the tables built on first use by
// whichever thread comes first; each result equals a drawing made alone.
TEST(CInterfaceThreads, ConcurrentDrawsOfOneSpriteEqualDrawsMadeAlone) {
    Image src(47, 47, GLIMMERIX_FORMAT_ARGB8888, 77);
    glimmerix_image srcView = src.View();
    SpriteHandle sprite;
    ASSERT_EQ(glimmerix_sprite_capture(&srcView, 0, 0, 47, 47, &sprite.p), GLIMMERIX_OK);
    constexpr int kThreads = 4;
    std::vector<Image> images;
    for (int t = 0; t < kThreads; ++t) images.emplace_back(120, 90, kFormats[t % 4], static_cast<std::uint32_t>(t));
    std::vector<Image> alone = images;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            glimmerix_image view = images[static_cast<std::size_t>(t)].View();
            for (int n = 0; n < 200; ++n) glimmerix_draw(&view, sprite.p, (n + t) % 18, n % 100 - 10, n % 70 - 10);
        });
    for (std::thread& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) {
        glimmerix_image view = alone[static_cast<std::size_t>(t)].View();
        for (int n = 0; n < 200; ++n) glimmerix_draw(&view, sprite.p, (n + t) % 18, n % 100 - 10, n % 70 - 10);
        EXPECT_EQ(images[static_cast<std::size_t>(t)].words, alone[static_cast<std::size_t>(t)].words) << t;
    }
}

}  // namespace
