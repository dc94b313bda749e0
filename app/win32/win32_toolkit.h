// The toolkit on Win32 itself: two borderless windows with DIB sections presented by gdi32's
// BitBlt, the event pass with PeekMessageW, a SetTimer start tick, MessageBoxW, and
// kernel32's GetTickCount.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "app/presentation.h"
#include "app/toolkit.h"
#include "app/win32/dib_surface.h"

namespace app {

// The window class names, which the tests look the windows up by.
inline constexpr const wchar_t* kMainWindowClass = L"GlimmerixForm";
inline constexpr const wchar_t* kSplashWindowClass = L"GlimmerixSplash";

class Win32Toolkit : public Toolkit {
public:
    // Registers the window classes and creates both windows hidden. Throws StartupError.
    Win32Toolkit();
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    std::string ProgramDirectory() override { return directory_; }
    void ShowSplash(const platform::Surface& picture) override;
    void HideSplash() override;
    void ShowMainWindow() override;
    void StartTimer(std::uint32_t intervalMs) override;
    WindowSurface MainWindowSurface() override;
    // GDI puts the whole client area: a BitBlt of it costs little next to the frame.
    void Present(const Damage&) override;
    void CollectEvents(bool wait) override;
    bool NextEvent(InputEvent& event) override;
    bool ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string& whyNot) override;
    std::uint32_t GetTickCount() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateHidden(const wchar_t* windowClass, HWND owner);
    void PlaceCentred(HWND window);
    void PaintSplash();

    HINSTANCE instance_ = nullptr;
    HWND main_ = nullptr;
    HWND splash_ = nullptr;
    DibSurface mainPixels_;
    DibSurface splashPixels_;
    ScenePresenter splashScene_;
    const platform::Surface* splashPicture_ = nullptr;  // repainted when the splash is exposed
    std::deque<InputEvent> pending_;
    UINT_PTR timer_ = 0;
    bool inBox_ = false;  // a message box is open: input belongs to it
    std::string directory_;
};

}  // namespace app
