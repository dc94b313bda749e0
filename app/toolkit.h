// The narrow seam between the program's logic and the window toolkit: windows, picture
// decoding, text, presenting, the event pass, the message box and the clock. The SDL2
// implementation runs the real program; tests drive the same logic through a script.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"

namespace app {

// The size of the main window and its scene, and the key code that ends the program: what
// the form and every toolkit agree on.
inline constexpr int FRAME_WIDTH = 320;
inline constexpr int FRAME_HEIGHT = 240;
inline constexpr std::int16_t KEY_ESCAPE = 27;

// The input handlers of the main window, called from Toolkit::DoEvents.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void Form_MouseMove(int button, int shift, float x, float y) = 0;
    virtual void Form_Click() = 0;
    virtual void Form_KeyDown(std::int16_t& keyCode, int shift) = 0;
    // The window manager asks the main window to close.
    virtual void Form_QueryUnload() = 0;
    // True once the program is ending; the event pass dispatches nothing after that.
    virtual bool Ending() const = 0;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // The program's own directory.
    virtual std::string ProgramDirectory() = 0;

    // Decodes a picture whose kind and size have been checked, drawing it at the target's
    // top-left corner over the target's background colour. Throws StartupError naming
    // `name` when the decoder refuses it.
    virtual void DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name,
                               platform::Surface& target) = 0;

    // The splash window: shown modeless with its picture, hidden again (never closed).
    virtual void ShowSplash(const platform::Surface& picture) = 0;
    virtual void HideSplash() = 0;

    // Runs every pending window event once, dispatching input to the form.
    virtual void DoEvents(FormEvents& form) = 0;

    // Prints one line of text with its top-left corner at (x, y) on the surface, clipped
    // to it, in the white "Courier New" 8.25 pt font.
    virtual void PrintText(platform::Surface& surface, int x, int y, std::string_view text) = 0;
    virtual int TextLineHeight() = 0;

    // The main window's own drawing surface (its device context), valid until the next
    // call; what is copied onto it reaches the screen with Present. It may be a view of
    // the window's framebuffer.
    virtual platform::Surface& MainWindowSurface() = 0;

    // Puts the main window's own surface on the screen.
    virtual void Present(const platform::Surface& window) = 0;

    // A modal box with one OK button; returns when it is closed, or at once (after saying
    // why on standard error) where no box can be shown.
    virtual void MessageBox(const std::string& title, const std::string& text) = 0;

    virtual std::uint32_t GetTickCount() = 0;
};

}  // namespace app
