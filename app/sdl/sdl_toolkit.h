// The toolkit on SDL2 (Linux desktops: X11, Wayland): the two borderless windows, their
// pixels, the event pass, message boxes and the start timer.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "app/presentation.h"
#include "app/sdl/presenter.h"
#include "app/toolkit.h"

namespace app {

class SdlToolkit : public Toolkit {
public:
    // Opens the display and creates both windows hidden. Throws StartupError when there is
    // no display.
    // `path`: the benchmarks compare SDL's own present with the program's.
    explicit SdlToolkit(PresentPath path = PresentPath::OwnWhereAvailable);
    ~SdlToolkit() override;
    SdlToolkit(const SdlToolkit&) = delete;
    SdlToolkit& operator=(const SdlToolkit&) = delete;

    std::string ProgramDirectory() override { return baseDir_; }
    void ShowSplash(const platform::Surface& picture) override;
    void HideSplash() override;
    void ShowMainWindow() override;
    void StartTimer(std::uint32_t intervalMs) override;
    WindowSurface MainWindowSurface() override { return mainPresenter_->Target(); }
    void Present(const Damage& changed) override { mainPresenter_->Present(changed); }
    void CollectEvents(bool wait) override;
    bool NextEvent(InputEvent& event) override;
    bool ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string& whyNot) override;
    std::uint32_t GetTickCount() override;
    bool PresentsOwnImages() const { return mainPresenter_->PresentsOwnImages(); }
    SDL_Window* MainWindow() const { return main_; }

private:
    // The event as the program's, or false for one the toolkit keeps (paint, other windows).
    bool Translate(const SDL_Event& sdl, InputEvent& event);
    void PaintSplash();

    SDL_Window* main_ = nullptr;
    SDL_Window* splash_ = nullptr;
    std::unique_ptr<Presenter> mainPresenter_;
    std::unique_ptr<Presenter> splashPresenter_;  // while the splash is shown
    PresentPath path_ = PresentPath::OwnWhereAvailable;
    ScenePresenter splashScene_;
    const platform::Surface* splashPicture_ = nullptr;  // repainted when the splash is exposed
    std::uint32_t startEvent_ = 0;
    SDL_TimerID timer_ = 0;
    std::string baseDir_;
};

}  // namespace app
