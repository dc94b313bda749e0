#include "app/frm_sample.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <climits>
#include <cmath>

#include "app/picture_decode.h"
#include "app/program_files.h"
#include "app/program_text.h"
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

// The label followed by the number in plain decimal.
template <std::size_t N>
std::string_view WithNumber(char (&buffer)[N], std::string_view label, std::int32_t number) {
    std::copy(label.begin(), label.end(), buffer);
    const auto end = std::to_chars(buffer + label.size(), buffer + N, number).ptr;
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

}  // namespace

frmSample::frmSample(Toolkit& toolkit) : toolkit_(toolkit), text_(ProgramGlyphs()) {}

void frmSample::LoadPictureOnto(const char* literal, PictureKind kind, platform::Surface& target, int width,
                                int height) {
    const std::string path = JoinProgramPath(toolkit_.ProgramDirectory(), literal);
    const std::string name = FileNameOf(path);
    const std::vector<std::uint8_t> bytes = ReadDataFile(path, kMaxPictureFileBytes);
    InspectPicture(bytes, kind, name);
    target.Resize(width, height);
    DecodePicture(bytes, kind, name, target);
}

void frmSample::Form_Load() {
    // frmSplashScreen's own load handler sets its picture before it is first shown.
    LoadPictureOnto(kSplashFile, PictureKind::Jpeg, splashPicture, FRAME_WIDTH, FRAME_HEIGHT);
    toolkit_.ShowSplash(splashPicture);
    DoEvents();  // let the splash paint before the long computation

    mdlEffects::BuildEffectTables();
    picBackbuffer.Resize(FRAME_WIDTH, FRAME_HEIGHT);
    LoadPictureOnto(kBackgroundFile, PictureKind::Jpeg, picBackground, FRAME_WIDTH, FRAME_HEIGHT);
    LoadPictureOnto(kSpriteFile, PictureKind::Gif, picEffect, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    mdlEffects::CaptureSprite(0, picEffect.hDC(), 0, 0, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    EffectNames = ReadEffectNames(JoinProgramPath(toolkit_.ProgramDirectory(), kNamesFile));
    toolkit_.HideSplash();
}

bool frmSample::WaitForStartTick() {
    while (!ending_ && !ticked_) {
        toolkit_.CollectEvents(true);
        InputEvent event;
        while (!ending_ && !ticked_ && toolkit_.NextEvent(event)) Dispatch(event);
    }
    return ticked_ && !ending_;
}

void frmSample::tmrStart_Timer() {
    if (timerHandled_) return;
    timerHandled_ = true;
    std::string whyNot;
    if (!toolkit_.ShowMessageBox(kWelcomeTitle, kWelcomeText, BoxIcon::NoIcon, whyNot)) {
        std::fprintf(stderr, "glimmerix: the welcome message could not be shown (%s); going on\n", whyNot.c_str());
    }
    if (ending_) return;  // closed while the box was open
    looping_ = true;
    while (Running() != VB_FALSE) RunFrame();
}

void frmSample::RunFrame() {
    ComposeFrame();
    toolkit_.Present(presenter_.CopyOnto(picBackbuffer, toolkit_.MainWindowSurface(), sceneChanged_));
    DoEvents();
}

void frmSample::DoEvents() {
    toolkit_.CollectEvents(false);
    InputEvent event;
    while (!ending_ && toolkit_.NextEvent(event)) Dispatch(event);
}

void frmSample::Dispatch(const InputEvent& event) {
    switch (event.kind) {
        case InputEvent::Kind::PointerMoved:
            Form_MouseMove(0, 0, presenter_.SceneX(event.x), presenter_.SceneY(event.y));
            break;
        case InputEvent::Kind::Click:
            Form_Click();
            break;
        case InputEvent::Kind::KeyDown: {
            std::int16_t keyCode = event.keyCode;
            Form_KeyDown(keyCode, 0);
            break;
        }
        case InputEvent::Kind::CloseRequest:
            Form_QueryUnload();
            break;
        case InputEvent::Kind::StartTick:
            ticked_ = true;
            break;
    }
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

    lines_ = {
        WithNumber(rate_, "Frames per Second: ", loop.FramesPerSecond),
        "",
        WithNumber(effect_, "Current Effect: ", CurrentEffect),
        EffectNames[static_cast<std::size_t>(CurrentEffect)],
    };
    const platform::PixelRect sprite =
        picBackbuffer.Clip(loop.SpriteX, loop.SpriteY, mdlEffects::SPRITE_SIZE, mdlEffects::SPRITE_SIZE);
    // The lines stand as the last frame left them where their numbers are the same and neither
    // that frame's sprite nor this one's lies over them: most frames print nothing.
    const bool keepText = drawnKnown_ && printedRate_ == loop.FramesPerSecond && printedEffect_ == CurrentEffect &&
                          platform::Intersect(drawnText_, drawnSprite_).Empty() &&
                          platform::Intersect(drawnText_, sprite).Empty();
    sceneChanged_ = Damage();
    if (!drawnKnown_) {
        RestoreBackground(picBackbuffer.Bounds());
        sceneChanged_ = Damage::Everything();
    } else {
        RestoreBackground(drawnSprite_);
        if (!keepText) RestoreBackground(drawnText_);
    }
    if (!keepText) {
        int y = TEXT_Y;
        drawnText_ = {0, 0, 0, 0};
        for (const std::string_view line : lines_) {
            drawnText_ = platform::Enclose(drawnText_, text_.Print(picBackbuffer, TEXT_X, y, line, kTextColour));
            y += text_.LineHeight();
        }
        printedRate_ = loop.FramesPerSecond;
        printedEffect_ = CurrentEffect;
        sceneChanged_.Add(drawnText_);
    }
    mdlEffects::DrawSprite(CurrentEffect, 0, picBackbuffer.hDC(), loop.SpriteX, loop.SpriteY);
    drawnSprite_ = sprite;
    drawnKnown_ = true;
    sceneChanged_.Add(sprite);
}

void frmSample::RestoreBackground(const platform::PixelRect& r) {
    platform::BitBlt(picBackbuffer.hDC(), r.left, r.top, r.Width(), r.Height(), picBackground.hDC(), r.left, r.top,
                     platform::kSrcCopy);
    sceneChanged_.Add(r);
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

void frmSample::EndProgram() { ending_ = true; }

}  // namespace app
