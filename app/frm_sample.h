// The main window: its hidden surfaces and fields, the load sequence, the frame loop of
// the start timer's tick, the event pass and the three input handlers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/damage.h"
#include "app/effect_names.h"
#include "app/glyph_atlas.h"
#include "app/picture_header.h"
#include "app/presentation.h"
#include "app/toolkit.h"
#include "platform/surface.h"

namespace app {

inline constexpr std::uint32_t RATE_PERIOD_MS = 1000;
inline constexpr int EASING_DIVISOR = 5;
inline constexpr int CURSOR_OFFSET = 23;  // puts sprite pixel (23, 23) under the cursor
inline constexpr int TEXT_X = 0;
inline constexpr int TEXT_Y = 184;
inline constexpr std::uint32_t START_TIMER_MS = 100;  // tmrStart's interval
inline constexpr std::int16_t VB_TRUE = -1;
inline constexpr std::int16_t VB_FALSE = 0;
inline constexpr platform::ColourValue SURFACE_BACKGROUND = 0x00404040;

extern const char* const kWelcomeTitle;
extern const char* const kWelcomeText;

// The locals of the frame loop, kept where tests can see them.
struct FrameLoopState {
    std::int32_t FrameCount = 0;
    std::int32_t FramesPerSecond = 0;
    std::uint32_t LastTick = 0;
    std::int32_t SpriteX = 0;
    std::int32_t SpriteY = 0;
};

// (target + 4 × old) / 5 rounded, ties to even; formed in 64 bits so that no target
// in the 32-bit range overflows, and always between old and target.
std::int32_t Ease(std::int32_t old, std::int32_t target);

// A cursor coordinate less the offset, rounded, ties to even; saturated to 32 bits.
std::int32_t CursorToTarget(float position);

class frmSample {
public:
    explicit frmSample(Toolkit& toolkit);

    // The load sequence; throws StartupError naming the file and the failure.
    void Form_Load();

    // Runs events until the start timer's tick (true) or until the program is ending (false).
    bool WaitForStartTick();

    // The welcome message, then the frame loop until the program ends. Runs once; a
    // second call returns at once.
    void tmrStart_Timer();

    // One iteration of the frame loop: ComposeFrame, then present and run pending events.
    void RunFrame();
    // The frame up to presenting: count, rate, easing, background, text, sprite. Only what
    // the frames before drew over the background is restored from it, unless the whole scene
    // was made to be redrawn; lines that have not changed and that no sprite covers stay.
    void ComposeFrame();
    // What the last composed frame changed in picBackbuffer.
    const Damage& SceneChanged() const { return sceneChanged_; }
    // The next frame restores the whole background: for anything that drew on picBackbuffer
    // other than the frame loop.
    void RedrawWholeScene() { drawnKnown_ = false; }
    // Lets every pending event run once; nothing is dispatched once the program is ending.
    void DoEvents();

    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_Click();
    void Form_KeyDown(std::int16_t& keyCode, int shift);
    // The window manager asks the main window to close.
    void Form_QueryUnload();

    // True once the program is ending (Esc or a close request).
    bool Ending() const { return ending_; }
    // VB_TRUE while the frame loop runs: from its start until the program ends.
    std::int16_t Running() const { return looping_ && !ending_ ? VB_TRUE : VB_FALSE; }

    // The four lines the last composed frame printed.
    const std::array<std::string_view, 4>& PrintedLines() const { return lines_; }
    const ScenePlacement& Placement() const { return presenter_.Placement(); }

    // Fields of the main window.
    std::int32_t MouseX = 0;
    std::int32_t MouseY = 0;
    std::int32_t CurrentEffect = 0;
    EffectNameList EffectNames;

    // The hidden surfaces hold what the frame loop reads of them: 320 × 240 of the
    // background, 47 × 47 of the sprite picture; a larger picture is cut at that size.
    platform::Surface picBackbuffer{SURFACE_BACKGROUND};
    platform::Surface picBackground{SURFACE_BACKGROUND};
    platform::Surface picEffect{SURFACE_BACKGROUND};
    platform::Surface splashPicture{0};  // frmSplashScreen's picture on its black background

    FrameLoopState loop;

private:
    void EndProgram();
    // Copies the rectangle of the background onto picBackbuffer and counts it as changed.
    void RestoreBackground(const platform::PixelRect& r);
    void Dispatch(const InputEvent& event);
    void LoadPictureOnto(const char* literal, PictureKind kind, platform::Surface& target, int width, int height);

    Toolkit& toolkit_;
    const GlyphAtlas& text_;
    ScenePresenter presenter_;
    bool timerHandled_ = false;
    bool ticked_ = false;
    bool looping_ = false;
    bool ending_ = false;
    // What the last frames drew over the background: the text (and the numbers it was
    // printed for) and the last sprite.
    bool drawnKnown_ = false;
    platform::PixelRect drawnText_{0, 0, 0, 0}, drawnSprite_{0, 0, 0, 0};
    std::int32_t printedRate_ = 0, printedEffect_ = 0;
    Damage sceneChanged_;
    // The lines of the frame, put together in fixed buffers: a frame allocates nothing.
    char rate_[48] = "";
    char effect_[48] = "";
    std::array<std::string_view, 4> lines_;
};

}  // namespace app
