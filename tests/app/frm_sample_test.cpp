#include "app/frm_sample.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <random>

#include "app/jpeg_decode.h"
#include "app/program.h"
#include "app/program_files.h"
#include "app/program_text.h"
#include "app/startup_error.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"
#include "tests/app/data_dir.h"
#include "tests/app/scripted_toolkit.h"
#include "tests/effects/reference_draw.h"
#include "tests/support/surfaces.h"

namespace app {
namespace {

using testsupport::DataDir;
using testsupport::ScriptedToolkit;

TEST(Ease, MovesAFifthOfTheWayAndRestsUpToTwoShort) {
    struct Case { int old, target, want; };
    const Case cases[] = {
        {100, 102, 100}, {100, 103, 101}, {100, 98, 100}, {100, 97, 99}, {0, 0, 0}, {0, 5, 1},
        {0, -18, -4}, {0, 277, 55}, {INT_MAX, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MIN},
        {INT_MIN, INT_MAX, static_cast<int>(std::lround((INT_MAX + 4.0 * INT_MIN) / 5))},
        {INT_MAX, INT_MIN, static_cast<int>(std::lround((INT_MIN + 4.0 * INT_MAX) / 5))},
    };
    for (const Case& c : cases) EXPECT_EQ(Ease(c.old, c.target), c.want) << c.old << " -> " << c.target;
}

TEST(Ease, NeverOvershootsAndComesToRestNearTheTarget) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> any(-100000, 100000);
    for (int n = 0; n < 2000; ++n) {
        int pos = any(rng);
        const int target = any(rng);
        for (int step = 0; step < 200; ++step) {
            const int next = Ease(pos, target);
            ASSERT_LE(std::abs(target - next), std::abs(target - pos));
            ASSERT_TRUE((next - pos) * static_cast<long long>(target - pos) >= 0) << "moved away";
            pos = next;
        }
        ASSERT_LE(std::abs(target - pos), 2);
    }
}

TEST(CursorToTarget, SubtractsTheOffsetAndRoundsTiesToEven) {
    struct Case { float cursor; int want; };
    const Case cases[] = {
        {5.0f, -18}, {23.0f, 0}, {25.5f, 2}, {26.5f, 4}, {22.5f, 0}, {-0.5f, -24}, {300.25f, 277},
        {1e30f, INT_MAX}, {-1e30f, INT_MIN}, {INFINITY, INT_MAX}, {NAN, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CursorToTarget(c.cursor), c.want) << c.cursor;
}

class FormTest : public ::testing::Test {
protected:
    DataDir dir_;
    ScriptedToolkit toolkit_{dir_.path};
    frmSample form_{toolkit_};

    // The lifecycle's steps on the fixture's own form, so that its state can be looked at
    // afterwards, with Esc pressed in the event pass of frame `frames`.
    void RunFrames(int frames) {
        toolkit_.EscapeAt(ScriptedToolkit::FramePass(frames));
        form_.Form_Load();
        toolkit_.StartTimer(START_TIMER_MS);
        ASSERT_TRUE(form_.WaitForStartTick());
        form_.tmrStart_Timer();
    }

    // The frame the program should have composed: the background, the four lines, the sprite.
    platform::Surface ExpectedScene() {
        platform::Surface want = form_.picBackground;
        int y = TEXT_Y;
        for (const std::string_view line : form_.PrintedLines()) {
            ProgramGlyphs().Print(want, TEXT_X, y, line, kTextColour);
            y += ProgramGlyphs().LineHeight();
        }
        testsupport::ReferenceDrawSprite(form_.CurrentEffect, 0, want.hDC(), form_.loop.SpriteX, form_.loop.SpriteY);
        return want;
    }
};

TEST_F(FormTest, LoadSequenceRunsInItsOrderAndDecodesThePictures) {
    form_.Form_Load();
    const std::vector<std::string> want = {"ShowSplash 320x240", "CollectEvents", "HideSplash"};
    EXPECT_EQ(toolkit_.log, want);
    EXPECT_TRUE(mdlEffects::EffectTable.Exists());
    EXPECT_EQ(form_.picBackbuffer.Width(), 320);
    EXPECT_EQ(form_.picBackbuffer.Height(), 240);
    EXPECT_EQ(form_.EffectNames[0], "Effect number 0");
    EXPECT_EQ(form_.EffectNames[17], "Effect number 17");
    EXPECT_EQ(form_.Running(), VB_FALSE);
    // The pictures are the program's own decoding of the files.
    platform::Surface planet(320, 240, SURFACE_BACKGROUND);
    DecodeJpegOnto(testsupport::SceneJpeg(3), "Planet.jpg", planet);
    EXPECT_TRUE(testsupport::SamePixels(form_.picBackground, planet));
    ASSERT_EQ(mdlEffects::Sprites.size(), 1u);
    const mdlEffects::SpriteData& sprite = mdlEffects::Sprites[0];
    ASSERT_EQ(sprite.R.Width(), 47);
    ASSERT_EQ(sprite.R.Height(), 47);
    const testsupport::GifLayout light = testsupport::LightGif();
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 47; ++x) {
            const auto c = testsupport::GlobalColour(light.indices[static_cast<std::size_t>(y * 47 + x)]);
            ASSERT_EQ(sprite.R(x, y), c[0]);
            ASSERT_EQ(sprite.G(x, y), c[1]);
            ASSERT_EQ(sprite.B(x, y), c[2]);
        }
}

struct Failure {
    const char* label;
    const char* file;
    std::function<void(const DataDir&)> damage;
    const char* reason;
};
void PrintTo(const Failure& c, std::ostream* os) { *os << c.label; }

class StartupFailures : public FormTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(StartupFailures, StopTheLoadNamingTheFileAndTheReason) {
    const Failure& f = GetParam();
    f.damage(dir_);
    try {
        form_.Form_Load();
        FAIL() << "loaded";
    } catch (const StartupError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind(std::string(f.file) + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(f.reason), std::string::npos) << message;
        // A missing file is named with the place that was looked at.
        if (std::string(f.reason) == "file is missing") {
            EXPECT_NE(message.find("(looked for " + dir_.File(f.file) + ")"), std::string::npos) << message;
        }
    }
    EXPECT_EQ(std::count(toolkit_.log.begin(), toolkit_.log.end(), "HideSplash"), 0);
}

void Remove(const DataDir& d, const char* name) { std::filesystem::remove(d.File(name)); }
void MakeDirectory(const DataDir& d, const char* name) {
    std::filesystem::remove(d.File(name));
    std::filesystem::create_directory(d.File(name));
}

INSTANTIATE_TEST_SUITE_P(Cases, StartupFailures, ::testing::Values(
    Failure{"splash_missing", "Loading.jpg", [](const DataDir& d) { Remove(d, "Loading.jpg"); }, "file is missing"},
    Failure{"background_missing", "Planet.jpg", [](const DataDir& d) { Remove(d, "Planet.jpg"); }, "file is missing"},
    Failure{"sprite_missing", "Light.gif", [](const DataDir& d) { Remove(d, "Light.gif"); }, "file is missing"},
    Failure{"names_missing", "Effects' Names.txt", [](const DataDir& d) { Remove(d, "Effects' Names.txt"); },
            "file is missing"},
    Failure{"background_empty", "Planet.jpg", [](const DataDir& d) { d.Write("Planet.jpg", ""); }, "file is empty"},
    Failure{"sprite_directory", "Light.gif", [](const DataDir& d) { MakeDirectory(d, "Light.gif"); }, "is a directory"},
    Failure{"names_directory", "Effects' Names.txt", [](const DataDir& d) { MakeDirectory(d, "Effects' Names.txt"); },
            "is a directory"},
    Failure{"splash_not_jpeg", "Loading.jpg", [](const DataDir& d) { d.Write("Loading.jpg", "just text"); },
            "is not a JPEG picture"},
    Failure{"sprite_is_jpeg", "Light.gif", [](const DataDir& d) { d.Write("Light.gif", testsupport::JpegHeader(4, 4)); },
            "is not a GIF picture"},
    Failure{"sprite_code_not_defined", "Light.gif",
            [](const DataDir& d) {
                testsupport::GifLayout g = testsupport::LightGif();
                g.stream = testsupport::PackCodes({{256, 9}, {7, 9}, {400, 9}});
                d.Write("Light.gif", testsupport::GifFile(g));
            },
            "cannot be decoded: LZW code 400 refers to no entry"},
    Failure{"splash_header_only", "Loading.jpg", [](const DataDir& d) { d.Write("Loading.jpg", testsupport::JpegHeader(320, 240)); },
            "cannot be decoded"},
    Failure{"background_huge", "Planet.jpg",
            [](const DataDir& d) {
                d.Write("Planet.jpg", testsupport::WithFrameHeader(testsupport::EncodeJpeg(16, 16, testsupport::JpegKind::Rgb,
                                                                                           [](int, int) {
                                                                                               return std::array<std::uint8_t, 4>{};
                                                                                           }),
                                                                   8, 30000, 30000));
            },
            "picture size 30000 x 30000 is more than a file of"},
    Failure{"background_too_large", "Planet.jpg",
            [](const DataDir& d) {
                d.Write("Planet.jpg", testsupport::JpegHeader(320, 240));
                std::filesystem::resize_file(d.File("Planet.jpg"), kMaxPictureFileBytes + 1);  // sparse
            },
            "file is 67108865 bytes; at most 67108864 are read"},
    Failure{"background_far_too_large", "Planet.jpg",
            [](const DataDir& d) {
                d.Write("Planet.jpg", testsupport::JpegHeader(320, 240));
                std::filesystem::resize_file(d.File("Planet.jpg"), std::uintmax_t{8} << 30);  // sparse
            },
            "file is 8589934592 bytes; at most 67108864 are read"},
    Failure{"names_seventeen_then_8_gib_without_a_line_end", "Effects' Names.txt",
            [](const DataDir& d) {
                std::string text = testsupport::EighteenNames();
                text.resize(text.rfind("Effect number 17"));
                d.Write("Effects' Names.txt", text);
                std::filesystem::resize_file(d.File("Effects' Names.txt"), std::uintmax_t{8} << 30);  // sparse
            },
            "has 17 lines in its first 1048576 bytes"},
    Failure{"names_seventeen", "Effects' Names.txt",
            [](const DataDir& d) {
                std::string text = testsupport::EighteenNames();
                text.resize(text.rfind("Effect number 17"));
                d.Write("Effects' Names.txt", text);
            },
            "has 17 lines"}),
    [](const auto& info) { return std::string(info.param.label); });

// The cap's other side: a picture file of exactly the limit is read whole.
TEST(DataFile, OneOfExactlyTheLimitIsReadWhole) {
    DataDir d;
    std::filesystem::resize_file(d.File("Planet.jpg"), kMaxPictureFileBytes);
    EXPECT_EQ(ReadDataFile(d.File("Planet.jpg"), kMaxPictureFileBytes).size(), kMaxPictureFileBytes);
}

TEST_F(FormTest, WelcomeBoxComesBeforeTheFirstFrameWithItsText) {
    toolkit_.onPresent = [&](const platform::Surface&) {
        if (toolkit_.presents == 1) { EXPECT_EQ(toolkit_.log.back(), "MessageBox Glimmerix Sample"); }
    };
    RunFrames(1);
    EXPECT_EQ(toolkit_.boxText,
              "Welcome!\r\n\r\nThis sample was made to look more like a real BitBlt\r\ngame, so it's easier to implement."
              "\r\n\r\nClick the image to change the effect.\r\nNote that the FPS doesn't change with more complex\r\n"
              "effects, because it uses look-up tables!\r\nPress [Esc] to exit.");
    EXPECT_EQ(toolkit_.presents, 1);
}

TEST_F(FormTest, FirstFramePrintsItsFourLinesOverTheBackground) {
    platform::Surface shown;
    toolkit_.onPresent = [&](const platform::Surface& w) { shown = w; };
    RunFrames(1);
    const char* want[] = {"Frames per Second: 1", "", "Current Effect: 0", "Effect number 0"};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(form_.PrintedLines()[i], want[i]);
    EXPECT_EQ(ProgramGlyphs().LineHeight(), 13);
    EXPECT_TRUE(testsupport::SamePixels(shown, ExpectedScene()));
    // The text lies in its four lines from y = 184: above them the sprite's corner and the background only.
    bool inkAbove = false;
    for (int y = 47; y < TEXT_Y; ++y)
        for (int x = 0; x < 320; ++x) inkAbove = inkAbove || shown.Row(y)[x] != form_.picBackground.Row(y)[x];
    EXPECT_FALSE(inkAbove);
}

TEST_F(FormTest, TimerTickRunsOnlyOnce) {
    RunFrames(3);
    const int presents = toolkit_.presents;
    form_.tmrStart_Timer();
    EXPECT_EQ(toolkit_.presents, presents);
    EXPECT_EQ(std::count(toolkit_.log.begin(), toolkit_.log.end(), "MessageBox Glimmerix Sample"), 1);
}

// The published rate for a clock that returns the given tick on each frame's first read.
struct RateCase {
    const char* label;
    std::uint32_t start;
    std::uint32_t step;  // ms per frame
    int frames;
    int wantRate;
};
void PrintTo(const RateCase& c, std::ostream* os) { *os << c.label; }

class FrameRate : public FormTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(FrameRate, CountsTheFramesOfEachSecond) {
    const RateCase c = GetParam();
    std::uint32_t now = c.start;
    toolkit_.clock = [&] { return now; };
    toolkit_.onPresent = [&](const platform::Surface&) { now += c.step; };
    RunFrames(c.frames);
    EXPECT_EQ(form_.loop.FramesPerSecond, c.wantRate);
    EXPECT_EQ(form_.PrintedLines()[0], "Frames per Second: " + std::to_string(c.wantRate));
}

INSTANTIATE_TEST_SUITE_P(Clocks, FrameRate, ::testing::Values(
    RateCase{"first_frame_publishes_one", 5000, 1, 1, 1},
    RateCase{"one_second_later", 5000, 1, 1001, 1000},    // frame 1001 at +1000 ms closes its second
    RateCase{"just_short_of_the_second", 5000, 1, 1000, 1},
    RateCase{"slow_frames", 5000, 250, 9, 4},
    RateCase{"across_the_wrap", 0xFFFFFFFFu - 700, 1, 2001, 1000},
    RateCase{"started_at_zero", 0, 1, 1001, 1001}),  // no update at tick 0: frames 1..1001 count
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(FormTest, EighteenClicksComeBackToTheFirstEffect) {
    for (int frame = 1; frame <= 18; ++frame) toolkit_.ClickAt(ScriptedToolkit::FramePass(frame));
    std::vector<std::string> shown;
    std::vector<std::string> named;
    toolkit_.onPresent = [&](const platform::Surface&) {
        shown.emplace_back(form_.PrintedLines()[2]);
        named.emplace_back(form_.PrintedLines()[3]);
    };
    RunFrames(19);
    ASSERT_EQ(shown.size(), 19u);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(shown[static_cast<std::size_t>(i)], "Current Effect: " + std::to_string(i));
        EXPECT_EQ(named[static_cast<std::size_t>(i)], "Effect number " + std::to_string(i));  // the effect's own line
    }
    EXPECT_EQ(shown[18], "Current Effect: 0");
    EXPECT_EQ(form_.CurrentEffect, 0);
}

TEST_F(FormTest, SpriteGlidesToTheCursorAndTheFrameIsTheBlendedBackground) {
    toolkit_.PointerAt(1, 123.0f, 88.0f);
    toolkit_.ClickAt(ScriptedToolkit::FramePass(3));
    std::vector<std::pair<int, int>> path;
    platform::Surface last, want;
    toolkit_.onPresent = [&](const platform::Surface& w) {
        path.emplace_back(form_.loop.SpriteX, form_.loop.SpriteY);
        last = w;
        want = ExpectedScene();
    };
    RunFrames(40);
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path[0], std::make_pair(20, 13));  // (100 + 0) / 5, (65 + 0) / 5
    EXPECT_EQ(path[1], std::make_pair(36, 23));  // (100 + 80) / 5, (65 + 52) / 5 = 23.4
    EXPECT_EQ(path.back(), std::make_pair(98, 63));
    EXPECT_TRUE(testsupport::SamePixels(last, want));
}

// A resized window: the scene at the largest whole factor that fits, centred, black around
// it, and the pointer mapped back to the scene pixel under it.
struct WindowCase {
    const char* label;
    int width, height;
    ScenePlacement placement;
};
void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.label; }

class ResizedWindow : public FormTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(ResizedWindow, ShowsTheSceneByTheRuleAndMapsThePointer) {
    const WindowCase& c = GetParam();
    toolkit_.windowWidth = c.width;
    toolkit_.windowHeight = c.height;
    const ScenePlacement& p = c.placement;
    // The middle of window pixels over scene pixel (123, 88), in frames 1 and 2.
    const float wx = static_cast<float>(p.left + 123 * p.scale + p.scale / 2), wy = static_cast<float>(p.top + 88 * p.scale + p.scale / 2);
    toolkit_.PointerAt(ScriptedToolkit::FramePass(1), wx, wy);
    platform::Surface shown, scene;
    toolkit_.onPresent = [&](const platform::Surface& w) {
        shown = w;
        scene = ExpectedScene();
    };
    RunFrames(30);
    EXPECT_EQ(form_.Placement(), p);
    EXPECT_EQ(form_.MouseX, 100);
    EXPECT_EQ(form_.MouseY, 65);
    ASSERT_EQ(shown.Width(), c.width);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const int sx = (x - p.left) / p.scale - (x < p.left), sy = (y - p.top) / p.scale - (y < p.top);
            const bool inside = x >= p.left && y >= p.top && sx < FRAME_WIDTH && sy < FRAME_HEIGHT;
            const platform::ColourValue want = inside ? scene.Row(sy)[sx] : 0;
            ASSERT_EQ(shown.Row(y)[x], want) << c.label << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResizedWindow, ::testing::Values(
    WindowCase{"as_opened", 320, 240, {1, 0, 0}},
    WindowCase{"twice_with_room", 700, 500, {2, 30, 10}},
    WindowCase{"four_times", 1280, 1000, {4, 0, 20}},
    WindowCase{"wider_than_twice", 1000, 481, {2, 180, 0}},
    WindowCase{"smaller_than_the_scene", 200, 150, {1, -60, -45}},
    WindowCase{"one_pixel", 1, 1, {1, -159, -119}}),
    [](const auto& info) { return std::string(info.param.label); });

// Frames that restore and put only what moved show what frames composed whole show: two
// programs get the same random input (pointer jumps on and off the scene, clicks, the rate's
// number growing and shrinking, resizes, names of every length); one composes whole frames on
// one window surface, the other only what changed, on surfaces handed out in any order.
TEST(DirtyFrames, ShowWhatWholeFramesShow) {
    DataDir dir;
    std::string names;
    for (int i = 0; i < 18; ++i) {
        const std::string piece = i % 3 == 0 ? "W" : i % 3 == 1 ? "\xC3\xA9" : "i.";  // é: two bytes
        std::string name;
        for (int n = 0; n < i * i / 4; ++n) name += piece;  // up to 72 pieces: past the right edge
        names += name + "\r\n";
    }
    dir.Write("Effects' Names.txt", names);
    ScriptedToolkit wholeKit{dir.path}, dirtyKit{dir.path};
    frmSample whole{wholeKit}, dirty{dirtyKit};
    whole.Form_Load();
    dirty.Form_Load();
    std::uint32_t now = 1000;
    wholeKit.clock = dirtyKit.clock = [&] { return now; };
    // The surface each present put, whole: what the screen shows after an expose.
    const platform::Surface *wholeShown = nullptr, *dirtyShown = nullptr;
    wholeKit.onPresent = [&](const platform::Surface& w) { wholeShown = &w; };
    dirtyKit.onPresent = [&](const platform::Surface& w) { dirtyShown = &w; };

    std::mt19937 rng(19);
    const auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    struct Size { int w, h; };
    const Size sizes[] = {{320, 240}, {700, 500}, {200, 150}, {641, 481}};
    for (int frame = 0; frame < 2500; ++frame) {
        if (chance(20)) {  // a jump, sometimes far off the scene
            const float x = static_cast<float>(chance(10) ? any(-2000, 2000) : any(-30, 350));
            const float y = static_cast<float>(chance(10) ? any(-2000, 2000) : any(-30, 270));
            whole.Form_MouseMove(0, 0, x, y);
            dirty.Form_MouseMove(0, 0, x, y);
        }
        if (chance(8)) {
            whole.Form_Click();
            dirty.Form_Click();
        }
        if (chance(2)) {
            const Size& s = sizes[any(0, 3)];
            wholeKit.windowWidth = dirtyKit.windowWidth = s.w;
            wholeKit.windowHeight = dirtyKit.windowHeight = s.h;
        }
        if (chance(1)) dirty.RedrawWholeScene();
        now += chance(3) ? 1000 : static_cast<std::uint32_t>(any(0, 3));  // a second's count of 1 now and then
        // In turn; at random of two or of three; four frames each (the other is five frames old).
        const int turns[] = {frame % 2, any(0, 1), any(0, 2), frame / 4 % 2};
        dirtyKit.surfaceInUse = turns[frame / 60 % 4];
        if (chance(2)) dirtyKit.LoseSurface(any(0, 2));  // made anew, maybe at its old address
        whole.RedrawWholeScene();
        whole.RunFrame();
        dirty.RunFrame();
        ASSERT_TRUE(testsupport::SamePixels(dirty.picBackbuffer, whole.picBackbuffer)) << "frame " << frame;
        ASSERT_TRUE(testsupport::SamePixels(dirtyKit.screen, wholeKit.screen)) << "frame " << frame;
        ASSERT_TRUE(testsupport::SamePixels(*dirtyShown, *wholeShown)) << "frame " << frame;
    }
    EXPECT_GT(dirty.CurrentEffect + whole.loop.FramesPerSecond, 0);  // the input did reach the programs
}

// What a frame says it changed: the whole scene first, then the rectangles of the sprite, this
// frame's and the last, and of the text only when its lines change or a sprite lies over them.
TEST_F(FormTest, AFrameNamesOnlyWhatItsTextAndSpriteTouched) {
    const auto enclosed = [&] {
        platform::PixelRect all{0, 0, 0, 0};
        for (const platform::PixelRect& r : form_.SceneChanged().Rects()) all = platform::Enclose(all, r);
        return all;
    };
    const int textBottom = TEXT_Y + 3 * ProgramGlyphs().LineHeight();
    form_.Form_Load();
    form_.ComposeFrame();
    EXPECT_TRUE(form_.SceneChanged().IsEverything());
    form_.Form_MouseMove(0, 0, 123.0f, 88.0f);
    form_.ComposeFrame();  // the sprite from (0, 0) to (20, 13); the lines as they were
    ASSERT_FALSE(form_.SceneChanged().IsEverything());
    platform::PixelRect all = enclosed();
    EXPECT_EQ(all.left, 0);
    EXPECT_EQ(all.top, 0);
    EXPECT_EQ(all.right, 20 + 47);
    EXPECT_EQ(all.bottom, 13 + 47);
    form_.Form_Click();
    form_.ComposeFrame();  // "Current Effect: 1": the text too
    all = enclosed();
    EXPECT_GT(all.bottom, textBottom);
    EXPECT_LE(all.bottom, FRAME_HEIGHT);
    form_.Form_MouseMove(0, 0, 123.0f, 250.0f);
    for (int i = 0; i < 4; ++i) form_.ComposeFrame();  // the sprite comes down over the text
    EXPECT_GT(enclosed().bottom, textBottom);
    int area = 0;
    for (const platform::PixelRect& r : form_.SceneChanged().Rects()) area += r.Width() * r.Height();
    EXPECT_LT(area, FRAME_WIDTH * FRAME_HEIGHT / 4);
}

TEST_F(FormTest, OtherKeysAreIgnoredAndACloseRequestEnds) {
    for (std::int16_t key : {13, 32, 65, 0, -1, 0x7FFF}) {
        InputEvent e{InputEvent::Kind::KeyDown};
        e.keyCode = key;
        toolkit_.At(ScriptedToolkit::FramePass(1), e);
    }
    toolkit_.At(ScriptedToolkit::FramePass(4), {InputEvent::Kind::CloseRequest});
    toolkit_.ClickAt(ScriptedToolkit::FramePass(4));  // after the close: not dispatched
    form_.Form_Load();
    toolkit_.StartTimer(START_TIMER_MS);
    ASSERT_TRUE(form_.WaitForStartTick());
    form_.tmrStart_Timer();
    EXPECT_EQ(toolkit_.presents, 4);
    EXPECT_EQ(form_.CurrentEffect, 0);
    EXPECT_EQ(form_.Running(), VB_FALSE);
}

TEST_F(FormTest, EscapeEndsAtOnce) {
    toolkit_.ClickAt(ScriptedToolkit::FramePass(2));
    RunFrames(2);  // Esc in frame 2's pass, after the click of the same pass
    EXPECT_EQ(toolkit_.presents, 2);
    EXPECT_TRUE(form_.Ending());
    EXPECT_EQ(form_.Running(), VB_FALSE);
}

TEST(ScenePlacement, IsTheLargestWholeFactorCentred) {
    struct Case { int w, h; ScenePlacement want; };
    const Case cases[] = {
        {320, 240, {1, 0, 0}}, {639, 479, {1, 159, 119}}, {640, 480, {2, 0, 0}}, {641, 480, {2, 0, 0}},
        {642, 900, {2, 1, 210}}, {960, 720, {3, 0, 0}}, {4000, 3000, {12, 80, 60}}, {100, 100, {1, -110, -70}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceScene(c.w, c.h), c.want) << c.w << " x " << c.h;
    EXPECT_EQ(WindowToScene(25.5f, 0, 1), 25.5f);  // at scale 1 the cursor's own rounding decides
    EXPECT_EQ(WindowToScene(25.5f, -10, 1), 35.5f);
    EXPECT_EQ(WindowToScene(37.0f, 30, 2), 3.0f);
    EXPECT_EQ(WindowToScene(29.0f, 30, 2), -1.0f);  // left of the scene
}

// A surface is brought up to date by its age alone: age N lacks the changes of the last N
// frames (this one's included); 0, or older than the remembered changes, gets the whole scene
// (and, of unknown content, the black around it); nothing else it holds is touched.
struct AgeCase { const char* label; int age; bool first, second, whole; };
void PrintTo(const AgeCase& c, std::ostream* os) { *os << c.label; }
class SurfaceAges : public ::testing::TestWithParam<AgeCase> {};

TEST_P(SurfaceAges, BringTheSurfaceUpToDate) {
    const AgeCase& c = GetParam();
    platform::Surface scene(FRAME_WIDTH, FRAME_HEIGHT, 0x00123456);
    const platform::PixelRect earlier{10, 10, 20, 20}, now{100, 50, 130, 70};
    ScenePresenter presenter;
    platform::Surface window(FRAME_WIDTH + 2, FRAME_HEIGHT, 0x00FF00FF);  // one black column each side
    for (int frame = 0; frame < ScenePresenter::kHistory; ++frame) presenter.CopyOnto(scene, {window, 0});
    Damage first, second;
    first.Add(earlier);
    second.Add(now);
    presenter.CopyOnto(scene, {window, 1}, first);
    const platform::Surface stale(FRAME_WIDTH + 2, FRAME_HEIGHT, 0x00FF00FF);
    window = stale;
    const Damage& put = presenter.CopyOnto(scene, {window, c.age}, second);
    for (int y = 0; y < FRAME_HEIGHT; ++y)
        for (int x = 0; x < FRAME_WIDTH + 2; ++x) {
            const bool margin = x == 0 || x == FRAME_WIDTH + 1;
            const auto in = [&](const platform::PixelRect& r) { return x - 1 >= r.left && x - 1 < r.right && y >= r.top && y < r.bottom; };
            const bool updated = c.whole || (c.first && in(earlier)) || (c.second && in(now));
            const platform::ColourValue want = margin ? (c.age == 0 ? 0u : 0x00FF00FFu) : updated ? 0x00123456u : 0x00FF00FFu;
            ASSERT_EQ(window.Row(y)[x], want) << x << "," << y;
        }
    // What the screen lacks is this frame's change alone, or all of a surface of unknown content.
    EXPECT_EQ(put.IsEverything(), c.age == 0);
}

// A toolkit that claims an age for a surface of a window that changed size is not believed:
// the screen shows nothing of the last frame there.
TEST(ScenePresenterTest, AWindowOfAnotherSizeGetsEverything) {
    platform::Surface scene(FRAME_WIDTH, FRAME_HEIGHT, 0x00123456), window(FRAME_WIDTH, FRAME_HEIGHT);
    platform::Surface larger(2 * FRAME_WIDTH, 2 * FRAME_HEIGHT, 0x00FF00FF);
    ScenePresenter presenter;
    presenter.CopyOnto(scene, {window, 0});
    EXPECT_TRUE(presenter.CopyOnto(scene, {larger, 1}, Damage()).IsEverything());
    EXPECT_EQ(larger.Row(2 * FRAME_HEIGHT - 1)[2 * FRAME_WIDTH - 1], 0x00123456u);
}

INSTANTIATE_TEST_SUITE_P(Ages, SurfaceAges, ::testing::Values(
    AgeCase{"unknown", 0, false, false, true},
    AgeCase{"the_last_frame", 1, false, true, false},
    AgeCase{"two_frames_back", 2, true, true, false},
    AgeCase{"older_than_the_changes_remembered", ScenePresenter::kHistory + 1, false, false, true}),
    [](const auto& info) { return std::string(info.param.label); });

// However many rectangles are added, every pixel of each stays covered; nested ones are held once.
TEST(Damage, CoversEveryRectangleAddedPastItsCapacity) {
    Damage d;
    d.Add(platform::PixelRect{5, 5, 5, 9});  // empty
    EXPECT_TRUE(d.IsNothing());
    d.Add(platform::PixelRect{10, 10, 20, 20});
    d.Add(platform::PixelRect{12, 12, 18, 18});
    d.Add(platform::PixelRect{0, 0, 30, 30});
    ASSERT_EQ(d.Rects().size(), 1u);
    std::vector<platform::PixelRect> added;
    for (int i = 0; i < 3 * Damage::kMaxRects; ++i) added.push_back({40 * i, 7 * i, 40 * i + 5, 7 * i + 3});
    for (const auto& r : added) d.Add(r);
    EXPECT_EQ(d.Rects().size(), static_cast<std::size_t>(Damage::kMaxRects));
    added.push_back({0, 0, 30, 30});
    for (const auto& r : added)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                bool covered = false;
                for (const auto& held : d.Rects()) covered = covered || (x >= held.left && x < held.right && y >= held.top && y < held.bottom);
                ASSERT_TRUE(covered) << x << "," << y;
            }
    d.Add(Damage::Everything());
    EXPECT_TRUE(d.IsEverything());
}

// The lifecycle, as every platform's main runs it.
class Lifecycle : public ::testing::Test {
protected:
    DataDir dir_;
    ScriptedToolkit toolkit_{dir_.path};
};

TEST_F(Lifecycle, RunsLoadWindowTimerBoxAndFramesInItsOrder) {
    toolkit_.EscapeAt(ScriptedToolkit::FramePass(2));
    EXPECT_EQ(RunProgram(toolkit_), 0);
    const std::vector<std::string> want = {"ShowSplash 320x240", "CollectEvents", "HideSplash", "ShowMainWindow",
                                           "StartTimer 100", "CollectEvents waiting", "MessageBox Glimmerix Sample"};
    EXPECT_EQ(toolkit_.log, want);
    EXPECT_EQ(toolkit_.presents, 2);
}

TEST_F(Lifecycle, WaitsThroughPassesUntilTheTick) {
    toolkit_.tickAutomatically = false;
    toolkit_.At(6, {InputEvent::Kind::StartTick});
    toolkit_.ClickAt(4);  // while waiting: it reaches the form
    toolkit_.EscapeAt(7);  // the first frame's pass
    const frmSample* form = nullptr;
    int effectShown = -1;
    toolkit_.onPresent = [&](const platform::Surface&) { effectShown = form->CurrentEffect; };
    EXPECT_EQ(RunProgram(toolkit_, [&](const frmSample* f) { form = f; }), 0);
    EXPECT_EQ(toolkit_.presents, 1);
    EXPECT_EQ(toolkit_.passes, 7);
    EXPECT_EQ(effectShown, 1);
    EXPECT_EQ(form, nullptr);  // told when the form went
}

TEST_F(Lifecycle, EndingDuringTheLoadRunsNoTickAndNoBox) {
    toolkit_.At(1, {InputEvent::Kind::CloseRequest});
    EXPECT_EQ(RunProgram(toolkit_), 0);
    EXPECT_EQ(std::count(toolkit_.log.begin(), toolkit_.log.end(), "MessageBox Glimmerix Sample"), 0);
    EXPECT_EQ(toolkit_.presents, 0);
}

TEST_F(Lifecycle, AFailureIsOneLineOnStandardErrorAndABoxTitledGlimmerix) {
    std::filesystem::remove(dir_.File("Planet.jpg"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgram(toolkit_), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glimmerix: Planet.jpg: file is missing (looked for " + dir_.File("Planet.jpg") + ")\n");
    EXPECT_EQ(toolkit_.log.back(), "MessageBox Glimmerix");
    EXPECT_EQ(toolkit_.boxText, "Planet.jpg: file is missing (looked for " + dir_.File("Planet.jpg") + ")");
    EXPECT_EQ(std::count(toolkit_.log.begin(), toolkit_.log.end(), "ShowMainWindow"), 0);
}

TEST_F(Lifecycle, AToolkitThatCannotOpenIsReportedWithoutABox) {
    testing::internal::CaptureStderr();
    const int status = RunProgram([]() -> std::unique_ptr<Toolkit> { throw StartupError("display", "none found"); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glimmerix: display: none found\n");
}

TEST_F(Lifecycle, AWelcomeBoxThatCannotBeShownIsSaidAndTheDemoGoesOn) {
    toolkit_.boxShown = false;
    toolkit_.EscapeAt(ScriptedToolkit::FramePass(3));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgram(toolkit_), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glimmerix: the welcome message could not be shown (scripted); going on\n");
    EXPECT_EQ(toolkit_.presents, 3);
}

}  // namespace
}  // namespace app
