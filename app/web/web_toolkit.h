// The toolkit in a web page, compiled to WebAssembly: the main window is the page's canvas,
// as large as the room the page gives it, the message box a modal dialog. The page
// (page/page.js) does the browser's side; each event pass yields to it once, a frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/presentation.h"
#include "app/toolkit.h"

namespace app {

// Where the page puts the data files it fetched, in the program's in-memory file system.
inline constexpr const char* kWebProgramDirectory = "/glimmerix";

class WebToolkit : public Toolkit {
public:
    std::string ProgramDirectory() override { return kWebProgramDirectory; }
    // The splash has no window of its own: it is shown on the canvas until the scene is.
    void ShowSplash(const platform::Surface& picture) override;
    void HideSplash() override;
    void ShowMainWindow() override;
    void StartTimer(std::uint32_t intervalMs) override;
    WindowSurface MainWindowSurface() override;
    // The canvas takes whole frames.
    void Present(const Damage&) override { PresentWhole(); }
    void CollectEvents(bool wait) override;
    bool NextEvent(InputEvent& event) override;
    // The welcome box is the page's modal dialog; a failure is shown in the page.
    bool ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string& whyNot) override;
    std::uint32_t GetTickCount() override;

    // The page's word that the program has ended.
    static void ReportEnded();

private:
    void PresentWhole();
    void Blank();

    platform::Surface window_;            // the canvas's pixels, 0x00BBGGRR
    int windowAge_ = 0;                   // what window_ holds (toolkit.h)
    std::vector<std::uint32_t> canvas_;  // what is handed to the canvas: RGBA, opaque
    ScenePresenter splash_;
    bool timerArmed_ = false;
    std::uint32_t timerStart_ = 0, timerInterval_ = 0;
};

}  // namespace app
