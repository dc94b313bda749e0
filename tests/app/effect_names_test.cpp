#include "app/effect_names.h"

#include <gtest/gtest.h>

#include "app/startup_error.h"
#include "tests/app/data_dir.h"

namespace app {
namespace {

using testsupport::DataDir;

std::string Lines(int count, const std::string& end) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "name " + std::to_string(i) + end;
    return text;
}

struct NamesCase {
    const char* label;
    std::string content;
    std::string first;  // EffectNames(0)
    std::string last;   // EffectNames(17)
};
void PrintTo(const NamesCase& c, std::ostream* os) { *os << c.label; }

class NamesFiles : public ::testing::TestWithParam<NamesCase> {};

TEST_P(NamesFiles, AreRead) {
    const NamesCase& c = GetParam();
    DataDir dir;
    dir.Write("names.txt", c.content);
    const EffectNameList names = ReadEffectNames(dir.File("names.txt"));
    EXPECT_EQ(names[0], c.first);
    EXPECT_EQ(names[17], c.last);
}

INSTANTIATE_TEST_SUITE_P(Cases, NamesFiles, ::testing::Values(
    NamesCase{"crlf", Lines(18, "\r\n"), "name 0", "name 17"},
    NamesCase{"lf", Lines(18, "\n"), "name 0", "name 17"},
    NamesCase{"last_line_without_end", Lines(17, "\r\n") + "final", "name 0", "final"},
    NamesCase{"more_than_eighteen", Lines(40, "\r\n"), "name 0", "name 17"},
    // Only the first 18 lines are read, whatever follows them.
    NamesCase{"eighteen_then_70000_lines", Lines(18, "\r\n") + Lines(70000, "\r\n"), "name 0", "name 17"},
    NamesCase{"eighteen_then_more_than_the_read_limit",
              Lines(18, "\n") + std::string(kMaxNamesReadBytes, 'x'), "name 0", "name 17"},
    NamesCase{"empty_lines", "\r\n" + Lines(16, "\r\n") + "\r\n", "", ""},
    NamesCase{"lone_cr_kept_inside", "a\rb\n" + Lines(17, "\n"), "a\rb", "name 16"},
    NamesCase{"invalid_utf8_and_nul", std::string("\xff\xfe\0x", 4) + "\n" + Lines(17, "\n"),
              std::string("\xff\xfe\0x", 4), "name 16"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NamesFile, LongNameIsClippedAndDoesNotShiftTheLines) {
    DataDir dir;
    for (const std::size_t length : {kMaxNameBytes - 1, kMaxNameBytes, kMaxNameBytes + 1, std::size_t{1000000}}) {
        dir.Write("names.txt", std::string(length, 'x') + "\r\n" + Lines(17, "\r\n"));
        const EffectNameList names = ReadEffectNames(dir.File("names.txt"));
        EXPECT_EQ(names[0], std::string(std::min(length, kMaxNameBytes), 'x')) << length;
        EXPECT_EQ(names[1], "name 0");
        EXPECT_EQ(names[17], "name 16");
    }
}

struct ShortCase { std::string content; const char* reason; };
void PrintTo(const ShortCase& c, std::ostream* os) { *os << c.reason; }

class ShortNamesFiles : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortNamesFiles, AreRefusedNamingTheFileAndTheCount) {
    DataDir dir;
    dir.Write("Effects' Names.txt", GetParam().content);
    try {
        ReadEffectNames(dir.File("Effects' Names.txt"));
        FAIL() << "accepted";
    } catch (const StartupError& e) {
        EXPECT_NE(std::string(e.what()).find("Effects' Names.txt"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortNamesFiles, ::testing::Values(
    ShortCase{Lines(17, "\r\n"), "has 17 lines"}, ShortCase{"", "has 0 lines"},
    ShortCase{"only one", "has 1 line;"}, ShortCase{Lines(17, "\n"), "has 17 lines"},
    // Lines that do not end within the read limit are not waited for.
    ShortCase{Lines(17, "\r\n") + std::string(kMaxNamesReadBytes, 'x') + "\r\n",
              "has 17 lines in its first 1048576 bytes; 18 effect names are needed"}));

// The read limit is exact: 18 lines ending at its last byte are read, one byte more is not.
TEST(NamesFile, LinesEndingAtTheReadLimitAreRead) {
    DataDir dir;
    const std::string names = Lines(17, "\r\n");
    const std::string last(kMaxNamesReadBytes - names.size() - 2, 'x');
    dir.Write("names.txt", names + last + "\r\n");
    EXPECT_EQ(ReadEffectNames(dir.File("names.txt"))[17], std::string(kMaxNameBytes, 'x'));
    dir.Write("names.txt", names + last + "x\r\n");
    EXPECT_THROW(ReadEffectNames(dir.File("names.txt")), StartupError);
    dir.Write("names.txt", names + last + "xx");  // a last line without its end, at the limit
    EXPECT_EQ(ReadEffectNames(dir.File("names.txt"))[17], std::string(kMaxNameBytes, 'x'));
}

}  // namespace
}  // namespace app
