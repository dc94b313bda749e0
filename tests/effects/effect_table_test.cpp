#include "effects/effect_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/draw_sprite.h"
#include "effects/errors.h"
#include "effects/sprite_store.h"

namespace mdlEffects {
namespace {

class EffectTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildEffectTables(); }
};

struct SumCase { int effect; std::int64_t sum; };
void PrintTo(const SumCase& c, std::ostream* os) { *os << "effect " << c.effect; }

class EffectSums : public EffectTableTest, public ::testing::WithParamInterface<SumCase> {};

TEST_P(EffectSums, SumOfAllEntriesOfOneEffect) {
    const SumCase c = GetParam();
    std::int64_t sum = 0;
    for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; ++s) sum += EffectTable(c.effect, d, s);
    EXPECT_EQ(sum, c.sum);
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectSums, ::testing::Values(
    SumCase{0, 13915520}, SumCase{1, 2796160}, SumCase{2, 2796160}, SumCase{3, 12550080},
    SumCase{4, 4161600}, SumCase{5, 8382546}, SumCase{6, 8379578}, SumCase{7, 8376611},
    SumCase{8, 8373644}, SumCase{9, 8370676}, SumCase{10, 8367709}, SumCase{11, 8364742},
    SumCase{12, 8361774}, SumCase{13, 7544526}, SumCase{14, 9167671}, SumCase{15, 4828020},
    SumCase{16, 5343294}, SumCase{17, 7442608}));

struct Entry { int e, d, s, want; };
void PrintTo(const Entry& c, std::ostream* os) { *os << "(" << c.e << ", " << c.d << ", " << c.s << ") is " << c.want; }

class KnownEntries : public EffectTableTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(KnownEntries, HoldTheirValueAtTheirMemoryOffset) {
    const Entry c = GetParam();
    EXPECT_EQ(EffectTable(c.e, c.d, c.s), c.want);
    EXPECT_EQ(EffectTable.Data()[c.e + 18 * c.d + 4608 * c.s], c.want);
    EXPECT_EQ(EffectTable.Copy(c.e)[256 * c.s + c.d], c.want);  // the drawing copy too
}

INSTANTIATE_TEST_SUITE_P(Listed, KnownEntries, ::testing::Values(
    Entry{0, 100, 50, 150}, Entry{0, 200, 100, 255}, Entry{1, 100, 50, 50}, Entry{1, 50, 100, 0},
    Entry{2, 200, 100, 45}, Entry{2, 128, 128, 1}, Entry{2, 255, 255, 255},
    Entry{3, 0, 0, 1}, Entry{3, 127, 0, 128}, Entry{3, 128, 0, 128}, Entry{3, 0, 127, 128},
    Entry{3, 127, 254, 254}, Entry{3, 1, 63, 64}, Entry{3, 128, 128, 192},
    Entry{4, 128, 1, 0}, Entry{4, 128, 3, 2}, Entry{4, 128, 128, 64}, Entry{4, 255, 255, 254},
    Entry{5, 0, 255, 209}, Entry{12, 0, 255, 46}, Entry{5, 255, 1, 47}, Entry{12, 255, 1, 209},
    Entry{13, 255, 255, 200}, Entry{13, 128, 128, 101}, Entry{13, 113, 1, 177},
    Entry{13, 255, 1, 255}, Entry{13, 1, 255, 0},
    Entry{14, 1, 4, 0}, Entry{14, 3, 12, 2}, Entry{14, 5, 20, 2}, Entry{14, 75, 108, 62},
    Entry{14, 100, 50, 141}, Entry{14, 128, 128, 128}, Entry{14, 255, 1, 255},
    Entry{15, 255, 255, 215}, Entry{15, 128, 128, 108}, Entry{15, 197, 154, 147},
    Entry{15, 255, 1, 0}, Entry{15, 1, 255, 1},
    Entry{16, 255, 255, 138}, Entry{16, 0, 255, 255}, Entry{16, 1, 255, 255},
    Entry{16, 91, 209, 190}, Entry{16, 100, 50, 0},
    Entry{17, 255, 1, 16}, Entry{17, 100, 50, 71}, Entry{17, 254, 255, 254}, Entry{17, 255, 255, 255}));

TEST_F(EffectTableTest, ZeroSourceRules) {
    for (int d = 0; d < 256; ++d) {
        SCOPED_TRACE(d);
        for (int e : {0, 1}) EXPECT_EQ(EffectTable(e, d, 0), d);
        for (int e : {2, 4}) EXPECT_EQ(EffectTable(e, d, 0), 0);
        EXPECT_EQ(EffectTable(3, d, 0), d <= 127 ? d + 1 : d);
        for (int e = 5; e < EFFECT_COUNT; ++e) EXPECT_EQ(EffectTable(e, d, 0), d);
    }
}

TEST_F(EffectTableTest, RangesAndFixedPointsOfEachFamily) {
    for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; ++s) {
            const int screen = EffectTable(3, d, s);
            ASSERT_GE(screen, 1);
            if (d == 255 || s == 255) { ASSERT_EQ(screen, 255) << d << "," << s; }
            ASSERT_LE(EffectTable(4, d, s), 254);
            ASSERT_EQ(EffectTable(17, 0, s), 0);
        }
    for (int e = 5; e <= 12; ++e) {
        EXPECT_EQ(EffectTable(e, 128, 128), 128) << e;
        EXPECT_EQ(EffectTable(e, 255, 255), 255) << e;
    }
}

// Where v = n / 256 is exactly a half, the entry is the even neighbour: 1,024 such
// entries in each of the screen and multiply blends.
TEST_F(EffectTableTest, ExactHalvesOfScreenAndMultiplyGoToEven) {
    int screenTies = 0, multiplyTies = 0;
    for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; ++s) {
            const int screen = (d + 1) * (255 - s) + 256 * s;
            if (screen % 256 == 128) {
                ++screenTies;
                ASSERT_EQ(EffectTable(3, d, s) % 2, 0) << d << "," << s;
                ASSERT_EQ(std::abs(EffectTable(3, d, s) * 256 - screen), 128);
            }
            if (d * s % 256 == 128) {
                ++multiplyTies;
                ASSERT_EQ(EffectTable(4, d, s) % 2, 0) << d << "," << s;
                ASSERT_EQ(std::abs(EffectTable(4, d, s) * 256 - d * s), 128);
            }
        }
    EXPECT_EQ(screenTies, 1024);
    EXPECT_EQ(multiplyTies, 1024);
}

// d·√(d/s) is a half exactly where 4d³ = s(2k+1)²; each goes to its even neighbour,
// which only holds when every intermediate is rounded to a double.
TEST_F(EffectTableTest, ExactHalvesOfSquareRootBlendGoToEven) {
    int ties = 0;
    for (std::int64_t d = 1; d < 256; ++d)
        for (std::int64_t s = 1; s < 256; ++s) {
            const std::int64_t lhs = 4 * d * d * d;
            if (lhs % s != 0) continue;
            const std::int64_t square = lhs / s;
            const auto root = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(square))));
            if (root * root != square || root % 2 == 0) continue;
            ++ties;  // v = root / 2 exactly
            const std::int64_t even = (root / 2) % 2 == 0 ? root / 2 : root / 2 + 1;
            ASSERT_EQ(EffectTable(14, static_cast<int>(d), static_cast<int>(s)), std::min<std::int64_t>(even, 255))
                << d << "," << s;
        }
    EXPECT_EQ(ties, 76);
}

std::uint64_t TableHash(const std::uint8_t* table) {
    // FNV-1a over the table in memory order; a change to any entry or to the layout shows.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < EFFECT_TABLE_BYTES; ++i) {
        hash ^= table[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

TEST(EffectTableBuilders, EachGivesTheRecordedTable) {
    for (const TableBuilder& builder : AvailableTableBuilders()) {
        std::vector<std::uint8_t> table(EFFECT_TABLE_BYTES + EFFECT_TABLE_PADDING);
        builder.fill(table.data());
        EXPECT_EQ(TableHash(table.data()), 0xfc1057f648136d96ull) << builder.name;
        EXPECT_EQ(table[EffectTableIndex(14, 75, 108)], 62);  // an exact half, rounded to even
    }
    BuildEffectTables();
    EXPECT_EQ(TableHash(EffectTable.Data()), 0xfc1057f648136d96ull);
}

TEST(EffectTableAccess, RejectsIndicesOutsideItsBounds) {
    BuildEffectTables();
    const int bad[][3] = {{-1, 0, 0}, {18, 0, 0}, {0, -1, 0}, {0, 256, 0}, {0, 0, -1}, {0, 0, 256}};
    for (const auto& i : bad) EXPECT_THROW(EffectTable(i[0], i[1], i[2]), EngineError);
}

// The per-effect copies the kernels draw from hold every entry of EffectTable, start on a
// cache line, and the library's own table and copies are the same bytes.
TEST_F(EffectTableTest, EachCopyHoldsItsEffectEntryByEntry) {
    for (int e = 0; e < EFFECT_COUNT; ++e) {
        const std::uint8_t* copy = EffectTable.Copy(e);
        ASSERT_EQ(std::memcmp(copy, SharedEffectCopy(e), EFFECT_COPY_BYTES + EFFECT_COPY_PADDING), 0) << e;
        // On a cache line: the kernels' aligned reads then never span two.
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(copy) % EFFECT_COPY_ALIGNMENT, 0u) << e;
        for (int s = 0; s < 256; ++s)
            for (int d = 0; d < 256; ++d) ASSERT_EQ(copy[EffectCopyIndex(d, s)], EffectTable(e, d, s)) << e << " " << d << " " << s;
        for (std::size_t pad = 0; pad < EFFECT_COPY_PADDING; ++pad) EXPECT_EQ(copy[EFFECT_COPY_BYTES + pad], 0);
    }
    EXPECT_EQ(std::memcmp(SharedEffectTable(), EffectTable.Data(), EFFECT_TABLE_BYTES), 0);
}

// One table in memory: building again neither moves nor changes it, and the library's
// calls read the same bytes.
TEST(EffectTableMemory, IsOneTableThatBuildingAgainLeavesInPlace) {
    BuildEffectTables();
    const std::uint8_t* table = EffectTable.Data();
    const std::uint8_t* copy = EffectTable.Copy(5);
    BuildEffectTables();
    EXPECT_EQ(EffectTable.Data(), table);
    EXPECT_EQ(EffectTable.Copy(5), copy);
    EXPECT_EQ(SharedEffectTable(), table);
    EXPECT_EQ(TableHash(table), 0xfc1057f648136d96ull);
}

TEST(BuildEffectTables, CreatesTheStoreAnewWithOneEmptySlot) {
    BuildEffectTables();
    platform::Surface surface(8, 8, 0x123456);
    CaptureSprite(3, surface.hDC(), 0, 0, 4, 4);
    ASSERT_EQ(Sprites.size(), 4u);
    BuildEffectTables();
    ASSERT_EQ(Sprites.size(), 1u);
    EXPECT_TRUE(Sprites[0].R.Empty());
    EXPECT_TRUE(Sprites[0].G.Empty());
    EXPECT_TRUE(Sprites[0].B.Empty());
}

}  // namespace
}  // namespace mdlEffects
