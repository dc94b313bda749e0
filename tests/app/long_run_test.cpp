// A million frames of the frame loop through the scripted toolkit, on a clock that
// passes the 32-bit tick wrap half-way: the rate stays right and memory does not grow.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "app/frm_sample.h"
#include "tests/app/data_dir.h"
#include "tests/app/scripted_toolkit.h"

namespace app {
namespace {

long ResidentKib() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return -1;
    const int got = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

TEST(LongRun, MillionFramesAcrossTheTickWrap) {
    constexpr long kFrames = 1'000'000;
    constexpr int kFramesPerMs = 10;  // 10,000 frames in every second of the clock
    constexpr std::uint32_t kStart = 0xFFFFFFFFu - 50'000;  // wraps after 500,000 frames
    testsupport::DataDir dir;
    testsupport::ScriptedToolkit toolkit(dir.path);
    frmSample form(toolkit);

    long frame = 0;
    toolkit.clock = [&] { return kStart + static_cast<std::uint32_t>(frame / kFramesPerMs); };
    long updates = 0, wrongRates = 0, residentAt1000 = 0, residentAtEnd = 0;
    std::uint32_t lastTick = 0;
    toolkit.PointerAt(1, 200.0f, 150.0f);
    toolkit.onPresent = [&](const platform::Surface&) {
        ++frame;
        if (form.loop.LastTick != lastTick) {
            lastTick = form.loop.LastTick;
            // The first update publishes 1; every later one a whole second of frames.
            if (++updates > 1 && form.loop.FramesPerSecond != 1000 * kFramesPerMs) ++wrongRates;
        }
        if (frame == 1000) residentAt1000 = ResidentKib();
        if (frame % 100'000 == 0) toolkit.ClickAt(toolkit.passes + 1);
    };
    toolkit.EscapeAt(testsupport::ScriptedToolkit::FramePass(static_cast<int>(kFrames)));
    form.Form_Load();
    toolkit.StartTimer(START_TIMER_MS);
    ASSERT_TRUE(form.WaitForStartTick());
    form.tmrStart_Timer();
    residentAtEnd = ResidentKib();

    EXPECT_EQ(frame, kFrames);
    EXPECT_EQ(updates, kFrames / (1000 * kFramesPerMs));  // at frames 1, 10,001, 20,001, ...
    EXPECT_EQ(wrongRates, 0);
    EXPECT_LT(lastTick, kStart) << "the clock never wrapped";
    EXPECT_EQ(form.CurrentEffect, 9);  // a click after every 100,000 frames but the last
    EXPECT_EQ(form.PrintedLines()[2], "Current Effect: 9");
    ASSERT_GT(residentAt1000, 0);
    EXPECT_LE(residentAtEnd - residentAt1000, 1024) << residentAt1000 << " KiB at frame 1,000, " << residentAtEnd
                                                    << " KiB at the end";
}

}  // namespace
}  // namespace app
