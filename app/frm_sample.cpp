#include "app/frm_sample.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <climits>
#include <cmath>

#include "app/program_files.h"
#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/rounding.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"

namespace app {

const char* const kWelcomeTitle = "Glimmerix Sample";
const char* const kWelcomeText =
    "Welcome!\r\n\r\n"
    "This sample was made to look more like a real BitBlt\r\n"
    "game, so it's easier to implement.\r\n\r\n"
    "Click the image to change the effect.\r\n"
    "Note that the FPS doesn't change with more complex\r\n"
    "effects, because it uses look-up tables!\r\n"
    "Press [Esc] to exit.";

std::int32_t Ease(std::int32_t old, std::int32_t target) {
    const std::int64_t sum = std::int64_t{target} + 4 * std::int64_t{old};
    return static_cast<std::int32_t>(mdlEffects::RoundHalfEven(static_cast<double>(sum) / EASING_DIVISOR));
}

std::int32_t CursorToTarget(float position) {
    const double target = static_cast<double>(position) - CURSOR_OFFSET;
    if (std::isnan(target)) return 0;
    const double clamped = std::clamp(target, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
    return static_cast<std::int32_t>(mdlEffects::RoundHalfEven(clamped));
}

namespace {

// The text already in the buffer followed by the number in plain decimal.
template <std::size_t N>
std::string_view WithNumber(char (&buffer)[N], std::int32_t number) {
    const std::size_t start = std::strlen(buffer);
    const auto end = std::to_chars(buffer + start, buffer + N, number).ptr;
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

}  // namespace

frmSample::frmSample(Toolkit& toolkit) : toolkit_(toolkit) {}

void frmSample::LoadPictureOnto(const char* literal, PictureKind kind, platform::Surface& target, int width,
                                int height) {
    const std::string path = JoinProgramPath(toolkit_.ProgramDirectory(), literal);
    const std::string name = FileNameOf(path);
    const std::vector<std::uint8_t> bytes = ReadDataFile(path, kMaxPictureFileBytes);
    InspectPicture(bytes, kind, name);
    target.Resize(width, height);
    toolkit_.DecodePicture(bytes, name, target);
}

void frmSample::Form_Load() {
    // frmSplashScreen's own load handler sets its picture before it is first shown.
    LoadPictureOnto(kSplashFile, PictureKind::Jpeg, splashPicture, FRAME_WIDTH, FRAME_HEIGHT);
    toolkit_.ShowSplash(splashPicture);
    toolkit_.DoEvents(*this);  // let the splash paint before the long computation

    mdlEffects::BuildEffectTables();
    picBackbuffer.Resize(FRAME_WIDTH, FRAME_HEIGHT);
    LoadPictureOnto(kBackgroundFile, PictureKind::Jpeg, picBackground, FRAME_WIDTH, FRAME_HEIGHT);
    LoadPictureOnto(kSpriteFile, PictureKind::Gif, picEffect, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    mdlEffects::CaptureSprite(0, picEffect.hDC(), 0, 0, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    EffectNames = ReadEffectNames(JoinProgramPath(toolkit_.ProgramDirectory(), kNamesFile));
    toolkit_.HideSplash();
}

void frmSample::tmrStart_Timer() {
    if (timerHandled_) return;
    timerHandled_ = true;
    toolkit_.MessageBox(kWelcomeTitle, kWelcomeText);
    if (ending_) return;  // closed while the box was open
    Running = VB_TRUE;
    while (Running != VB_FALSE) RunFrame();
}

void frmSample::RunFrame() {
    ComposeFrame();
    platform::Surface& window = toolkit_.MainWindowSurface();
    platform::BitBlt(window.hDC(), 0, 0, FRAME_WIDTH, FRAME_HEIGHT, picBackbuffer.hDC(), 0, 0, platform::kSrcCopy);
    toolkit_.Present(window);
    toolkit_.DoEvents(*this);
}

void frmSample::ComposeFrame() {
    ++loop.FrameCount;
    if (toolkit_.GetTickCount() - loop.LastTick >= RATE_PERIOD_MS) {  // unsigned: wraps
        loop.LastTick = toolkit_.GetTickCount();
        loop.FramesPerSecond = loop.FrameCount;
        loop.FrameCount = 0;
    }
    loop.SpriteX = Ease(loop.SpriteX, MouseX);
    loop.SpriteY = Ease(loop.SpriteY, MouseY);

    platform::BitBlt(picBackbuffer.hDC(), 0, 0, FRAME_WIDTH, FRAME_HEIGHT, picBackground.hDC(), 0, 0,
                     platform::kSrcCopy);
    // The lines are put together in fixed buffers: a frame allocates nothing.
    char rate[48] = "Frames per Second: ";
    char effect[48] = "Current Effect: ";
    const std::string_view lines[] = {
        WithNumber(rate, loop.FramesPerSecond),
        "",
        WithNumber(effect, CurrentEffect),
        EffectNames[static_cast<std::size_t>(CurrentEffect)],
    };
    const int lineHeight = toolkit_.TextLineHeight();
    int y = TEXT_Y;
    for (const std::string_view line : lines) {
        toolkit_.PrintText(picBackbuffer, TEXT_X, y, line);
        y += lineHeight;
    }
    mdlEffects::DrawSprite(CurrentEffect, 0, picBackbuffer.hDC(), loop.SpriteX, loop.SpriteY);
}

void frmSample::Form_MouseMove(int, int, float x, float y) {
    MouseX = CursorToTarget(x);
    MouseY = CursorToTarget(y);
}

void frmSample::Form_Click() {
    ++CurrentEffect;
    if (CurrentEffect > mdlEffects::EFFECT_COUNT - 1) CurrentEffect = 0;
}

void frmSample::Form_KeyDown(std::int16_t& keyCode, int) {
    if (keyCode == KEY_ESCAPE) EndProgram();
}

void frmSample::Form_QueryUnload() { EndProgram(); }

void frmSample::EndProgram() {
    Running = VB_FALSE;
    ending_ = true;
}

}  // namespace app
