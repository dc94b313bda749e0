// The narrow seam between the program and a platform: only what differs by platform —
// the program directory, the splash shown and hidden, the main window's surface and
// presenting it, pending events as plain values, the start timer, the message box and the
// clock. Everything else (start-up, failure reporting, decoding, text, the presentation
// rule, the ending guard) is the program's own. The SDL2 and browser toolkits run the real
// program; tests drive it through a script.
#pragma once

#include <cstdint>
#include <string>

#include "app/damage.h"
#include "platform/surface.h"

namespace app {

// The size of the scene, and the key code that ends the program: what the program and
// every toolkit agree on.
inline constexpr int FRAME_WIDTH = 320;
inline constexpr int FRAME_HEIGHT = 240;
inline constexpr std::int16_t KEY_ESCAPE = 27;

// One pending event. Pointer positions are in the main window's client pixels.
struct InputEvent {
    enum class Kind { PointerMoved, Click, KeyDown, CloseRequest, StartTick };
    Kind kind;
    float x = 0, y = 0;        // PointerMoved
    std::int16_t keyCode = 0;  // KeyDown
};

// A window's drawing surface and what it holds, as EGL's buffer age tells it: 0 when nothing
// is known of its pixels (new, resized, lost), N when it holds the frame presented N presents
// ago (1: the last one). A toolkit knows it from its own calls and events — a resize, an
// expose that loses pixels, a device reset — never from where the pixels lie, since a new
// surface may come back at an old one's address.
struct WindowSurface {
    platform::Surface& pixels;
    int age = 0;
};

// Named apart from the macros of X11 and Windows headers (None, ERROR).
enum class BoxIcon { NoIcon, ErrorIcon };

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // The program's own directory, where its data files are.
    virtual std::string ProgramDirectory() = 0;

    // The splash window: shown modeless with its 320 × 240 picture, hidden again (never closed).
    virtual void ShowSplash(const platform::Surface& picture) = 0;
    virtual void HideSplash() = 0;

    // Shows the main window, black until the first frame.
    virtual void ShowMainWindow() = 0;

    // Arms the one-shot start timer: one StartTick event after intervalMs.
    virtual void StartTimer(std::uint32_t intervalMs) = 0;

    // The main window's whole client area as a drawing surface (its device context), valid
    // until the next call, and what it holds; it may be a view of the window's framebuffer.
    // Its size follows the window's.
    virtual WindowSurface MainWindowSurface() = 0;
    // Puts what was drawn on the main window's surface on the screen. `changed` is what
    // differs from the last present; a toolkit may put more (after an expose, or all of it).
    virtual void Present(const Damage& changed) = 0;

    // Gathers what is pending, once per event pass; with `wait`, blocks until something is.
    // The browser yields to the page here, once a frame.
    virtual void CollectEvents(bool wait) = 0;
    // The next pending event; false when none is left.
    virtual bool NextEvent(InputEvent& event) = 0;

    // A modal box with one OK button, returning when it is closed: true. False, with the
    // reason, where no box can be shown.
    virtual bool ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon,
                                std::string& whyNot) = 0;

    // Milliseconds, wrapping after 2^32.
    virtual std::uint32_t GetTickCount() = 0;
};

}  // namespace app
