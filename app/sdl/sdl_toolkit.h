// The toolkit on SDL2: the two borderless windows, picture decoding with SDL2_image,
// text with SDL2_ttf, presenting, the event pass, message boxes and the start timer.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "app/sdl/glyph_text.h"
#include "app/sdl/presenter.h"
#include "app/toolkit.h"

namespace app {

class SdlToolkit : public Toolkit {
public:
    // Opens the display, creates both windows hidden and loads the font. Throws
    // StartupError when there is no display or no usable font.
    SdlToolkit();
    ~SdlToolkit() override;

    std::string ProgramDirectory() override;
    void DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name,
                       platform::Surface& target) override;
    void ShowSplash(const platform::Surface& picture) override;
    void HideSplash() override;
    void DoEvents(FormEvents& form) override;
    void PrintText(platform::Surface& surface, int x, int y, std::string_view text) override;
    int TextLineHeight() override { return text_->LineHeight(); }
    platform::Surface& MainWindowSurface() override { return mainPresenter_->Target(); }
    void Present(const platform::Surface& window) override;
    void MessageBox(const std::string& title, const std::string& text) override;
    std::uint32_t GetTickCount() override;

    // Shows the main window and arms the one-shot start timer.
    void ShowMainWindow(std::uint32_t timerMs);
    // Runs events until the start timer's tick arrives (true) or the form ends (false).
    bool WaitForStartTick(FormEvents& form);

    // A start-up failure: a box where a display exists.
    static void ShowErrorBox(const std::string& message);

private:
    void Dispatch(const SDL_Event& event, FormEvents& form);

    SDL_Window* main_ = nullptr;
    SDL_Window* splash_ = nullptr;
    std::unique_ptr<Presenter> mainPresenter_;
    std::unique_ptr<Presenter> splashPresenter_;
    const platform::Surface* splashPicture_ = nullptr;  // repainted when the splash is exposed
    std::unique_ptr<GlyphText> text_;
    std::uint32_t startEvent_ = 0;
    SDL_TimerID timer_ = 0;
    std::string baseDir_;
};

}  // namespace app
