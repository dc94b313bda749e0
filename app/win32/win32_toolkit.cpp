#include "app/win32/win32_toolkit.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/program_files.h"
#include "app/startup_error.h"
#include "app/win32/resources.h"
#include "app/win32/wide_text.h"

namespace app {
namespace {
constexpr const wchar_t* kWindowTitle = L"Form1";
constexpr UINT_PTR kStartTimerId = 1;
constexpr unsigned kBaseDpi = USER_DEFAULT_SCREEN_DPI;
constexpr int kLeastBitsPerPixel = 15;
constexpr int kMessageBoxAttempts = 3;
constexpr DWORD kMessageBoxRetryMs = 100;
// No frame and no title bar; the system menu keeps Alt+F4 and the taskbar's Close working.
constexpr DWORD kWindowStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

[[noreturn]] void Fail(const std::string& what, const std::string& how) {
    throw StartupError(what, how + ": " + SystemMessage(GetLastError()));
}

// The folder of the running program, from its full UTF-16 path (which may exceed MAX_PATH).
std::string ModuleDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) Fail("program directory", "cannot be found");
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            return Narrow(full.substr(0, full.find_last_of(L"\\/") + 1));
        }
        path.resize(path.size() * 2);
    }
}

void DrainInput() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
    while (PeekMessageW(&message, nullptr, WM_LBUTTONDOWN, WM_MOUSELAST, PM_REMOVE)) {}
}

// The whole factor a window is enlarged by at a monitor's DPI, so that the scene's pixels
// stay whole: 96 (100 %) gives 1, 192 (200 %) gives 2.
int ScaleForDpi(unsigned dpi) { return std::max(1, static_cast<int>(dpi / kBaseDpi)); }

}  // namespace

Win32Toolkit::Win32Toolkit() : instance_(GetModuleHandleW(nullptr)) {
    directory_ = DataDirectory(ModuleDirectory());

    const auto icon = [this](int side) {
        return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(GLIMMERIX_ICON), IMAGE_ICON, side, side, 0));
    };
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32Toolkit::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon(GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = icon(GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (windowClass.hIcon == nullptr) Fail("icon", "cannot be loaded");
    for (const wchar_t* name : {kMainWindowClass, kSplashWindowClass}) {
        windowClass.lpszClassName = name;
        if (RegisterClassExW(&windowClass) == 0) Fail("window", "class cannot be registered");
    }

    main_ = CreateHidden(kMainWindowClass, nullptr);
    // A palette display has no true-colour pixels for the scene, and its box would be unreadable.
    const HDC screen = GetDC(main_);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(main_, screen);
    if (palette || bits < kLeastBitsPerPixel) {
        const std::string has = palette ? "has a colour palette" : "has " + std::to_string(bits) + " bits per pixel";
        throw StartupError("display", has + "; the demo needs at least " + std::to_string(kLeastBitsPerPixel) +
                                          " bits per pixel (high or true colour)");
    }
    // The splash belongs to the main window: above it, and never on the taskbar of its own.
    splash_ = CreateHidden(kSplashWindowClass, main_);
}

Win32Toolkit::~Win32Toolkit() {
    if (timer_ != 0) KillTimer(main_, timer_);
    if (splash_ != nullptr) DestroyWindow(splash_);
    if (main_ != nullptr) DestroyWindow(main_);
    UnregisterClassW(kSplashWindowClass, instance_);
    UnregisterClassW(kMainWindowClass, instance_);
}

HWND Win32Toolkit::CreateHidden(const wchar_t* windowClass, HWND owner) {
    HWND window = CreateWindowExW(0, windowClass, kWindowTitle, kWindowStyle, 0, 0, FRAME_WIDTH, FRAME_HEIGHT, owner,
                                  nullptr, instance_, this);
    if (window == nullptr) Fail("window", "cannot be created");
    PlaceCentred(window);
    return window;
}

// 320 × 240 pixels times the whole factor of the window's monitor, centred on its work area.
void Win32Toolkit::PlaceCentred(HWND window) {
    const int scale = ScaleForDpi(GetDpiForWindow(window));
    const int width = FRAME_WIDTH * scale, height = FRAME_HEIGHT * scale;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32Toolkit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Toolkit::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isMain = window == main_;
    const auto input = [this](InputEvent event) {
        if (!inBox_) pending_.push_back(event);
        return 0;
    };
    switch (message) {
        case WM_TIMER:
            if (wParam != kStartTimerId || timer_ == 0) break;
            KillTimer(main_, timer_);  // one shot
            timer_ = 0;
            pending_.push_back({InputEvent::Kind::StartTick});
            return 0;
        case WM_MOUSEMOVE:
            if (!isMain) break;
            return input({InputEvent::Kind::PointerMoved, static_cast<float>(GET_X_LPARAM(lParam)),
                          static_cast<float>(GET_Y_LPARAM(lParam))});
        case WM_LBUTTONUP:
            if (!isMain) break;
            return input({InputEvent::Kind::Click});
        case WM_KEYDOWN: {
            InputEvent key{InputEvent::Kind::KeyDown};
            key.keyCode = static_cast<std::int16_t>(wParam == VK_ESCAPE ? KEY_ESCAPE : wParam & 0x7FFF);
            return input(key);
        }
        case WM_CLOSE:
            // The splash is hidden, never closed; the main window closes by ending the program.
            if (isMain) pending_.push_back({InputEvent::Kind::CloseRequest});
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every pixel is painted from the DIB
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            (isMain ? mainPixels_ : splashPixels_).PaintOn(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows suggests for it, whose
            // scene the presentation rule enlarges by whole factors.
            const RECT& r = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            if (window == splash_ && splashPicture_ != nullptr) PaintSplash();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Toolkit::PaintSplash() {
    RECT client;
    GetClientRect(splash_, &client);
    splashScene_.CopyOnto(*splashPicture_, splashPixels_.Target(client.right, client.bottom));
    const HDC dc = GetDC(splash_);
    splashPixels_.PaintOn(dc);
    ReleaseDC(splash_, dc);
}

void Win32Toolkit::ShowSplash(const platform::Surface& picture) {
    splashPicture_ = &picture;
    ShowWindow(splash_, SW_SHOW);
    PaintSplash();
    GdiFlush();
}

void Win32Toolkit::HideSplash() {
    ShowWindow(splash_, SW_HIDE);
    splashPicture_ = nullptr;
}

void Win32Toolkit::ShowMainWindow() {
    ShowWindow(main_, SW_SHOW);
    SetForegroundWindow(main_);
    MainWindowSurface();  // black until the first frame
    Present(Damage::Everything());
}

void Win32Toolkit::StartTimer(std::uint32_t intervalMs) {
    timer_ = SetTimer(main_, kStartTimerId, intervalMs, nullptr);
    if (timer_ == 0) Fail("start timer", "cannot be started");
}

WindowSurface Win32Toolkit::MainWindowSurface() {
    RECT client;
    GetClientRect(main_, &client);
    return mainPixels_.Target(client.right, client.bottom);
}

void Win32Toolkit::Present(const Damage&) {
    const HDC dc = GetDC(main_);
    mainPixels_.PaintOn(dc);
    ReleaseDC(main_, dc);
}

void Win32Toolkit::CollectEvents(bool wait) {
    if (wait && pending_.empty() && !WaitMessage()) Fail("display", "waiting for events failed");
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            pending_.push_back({InputEvent::Kind::CloseRequest});
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool Win32Toolkit::NextEvent(InputEvent& event) {
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

bool Win32Toolkit::ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string& whyNot) {
    // Modal to the main window once it is on the screen; before that, a box of its own.
    const HWND owner = main_ != nullptr && IsWindowVisible(main_) ? main_ : nullptr;
    const UINT style = MB_OK | MB_SETFOREGROUND | (icon == BoxIcon::ErrorIcon ? MB_ICONERROR : 0u);
    inBox_ = true;
    // A box that could not be made (seen under Wine on a loaded machine) is tried again.
    int answer = 0;
    for (int attempt = 0; attempt < kMessageBoxAttempts && answer == 0; ++attempt) {
        if (attempt > 0) Sleep(kMessageBoxRetryMs);
        answer = MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), style);
    }
    inBox_ = false;
    if (answer == 0) {
        whyNot = SystemMessage(GetLastError());
        return false;
    }
    // Keys and clicks that reached the queue while the box was open were meant for the box.
    DrainInput();
    if (owner != nullptr) SetForegroundWindow(owner);
    return true;
}

std::uint32_t Win32Toolkit::GetTickCount() { return ::GetTickCount(); }

}  // namespace app
