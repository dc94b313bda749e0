#include "app/sdl/sdl_toolkit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/program_files.h"
#include "app/sdl/desktop_guard.h"
#include "app/sdl/display_colours.h"
#include "app/sdl/sdl_surface.h"
#include "app/sdl/x11_probe.h"
#include "app/startup_error.h"
#include "platform/gdi.h"

extern const unsigned char kWindowIcon[];
extern const std::size_t kWindowIconSize;

namespace app {
namespace {

constexpr const char* kWindowTitle = "Form1";
constexpr int kMessageBoxAttempts = 3;
constexpr int kLeastBitsPerPixel = 15;
// A live server answers a connection in microseconds when idle, but a freshly reset one on a
// machine loaded many times over its cores was seen taking more than 800 ms.
constexpr int kDisplayAnswerMs = 4000;
// A server whose last client just left resets and refuses connections meanwhile: it is tried
// again, every kResetPauseMs, for at most kResetWaitMs.
constexpr Uint32 kResetPauseMs = 100;
constexpr Uint32 kResetWaitMs = 600;

// The timer's parameter is the start event's type.
Uint32 PostStartTick(Uint32, void* eventType) {
    SDL_Event event{};
    event.type = *static_cast<const std::uint32_t*>(eventType);
    SDL_PushEvent(&event);
    return 0;  // one shot
}

const char* Variable(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? v : nullptr;
}

// True for a DISPLAY such as ":1.2", whose screen number (after the dot) is not 0.
bool NamesScreenOtherThanFirst(const char* display) {
    const char* colon = std::strrchr(display, ':');
    const char* dot = colon != nullptr ? std::strchr(colon, '.') : nullptr;
    return dot != nullptr && std::strtol(dot + 1, nullptr, 10) != 0;
}

// Why neither X11 nor Wayland opened, from what the environment names.
std::string NoDisplayReason() {
    const auto part = [](const char* variable, const char* what) {
        const char* v = Variable(variable);
        return v == nullptr ? std::string(variable) + " is not set"
                            : std::string(variable) + " \"" + v + "\" names no " + what + " that answers";
    };
    return "cannot be opened: " + part("DISPLAY", "X server") + ", " + part("WAYLAND_DISPLAY", "Wayland compositor");
}

// Opens SDL's video and timer. SDL_VIDEODRIVER, where set, is taken as it stands (the
// tests' dummy driver). Otherwise SDL tries only the drivers that show windows and whose
// display the environment names, never falling back to one that shows nothing (offscreen),
// and a failure names what the environment names.
void OpenDisplay() {
    constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_TIMER;
    if (Variable("SDL_VIDEODRIVER") != nullptr) {
        if (SDL_Init(kSubsystems) != 0) throw StartupError("display", std::string("cannot be opened: ") + SDL_GetError());
        return;
    }
    std::string drivers;
    const char* display = Variable("DISPLAY");
    X11Connection held;  // closed once SDL's own connection is open
    if (display != nullptr) {
        // Xlib would wait for ever on a server that accepts the connection and never replies.
        X11Answer answer = ProbeX11Display(display, kDisplayAnswerMs, held);
        for (Uint32 waited = 0; answer == X11Answer::Unreachable && waited < kResetWaitMs; waited += kResetPauseMs) {
            SDL_Delay(kResetPauseMs);
            answer = ProbeX11Display(display, kDisplayAnswerMs, held);
        }
        if (answer == X11Answer::Silent) {
            if (Variable("WAYLAND_DISPLAY") == nullptr) {
                throw StartupError("display", std::string("cannot be opened: DISPLAY \"") + display +
                                                  "\" accepts a connection but does not answer within " +
                                                  std::to_string(kDisplayAnswerMs / 1000) + " s");
            }
        } else {
            drivers = "x11";
        }
        // Through XRandR, SDL lists the outputs of every screen, all at (0, 0), and puts windows
        // on the first: screen 0, whatever DISPLAY names. Without it SDL takes the screen
        // DISPLAY names alone, as the message box does.
        if (NamesScreenOtherThanFirst(display)) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    }
    if (Variable("WAYLAND_DISPLAY") != nullptr) drivers += drivers.empty() ? "wayland" : ",wayland";
    if (drivers.empty()) throw StartupError("display", "none found: DISPLAY and WAYLAND_DISPLAY are not set");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if (SDL_Init(kSubsystems) != 0) throw StartupError("display", NoDisplayReason() + " (" + SDL_GetError() + ")");
}

SDL_Window* CreateHiddenWindow(Uint32 flags) {
    SDL_Window* window = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, FRAME_WIDTH,
                                          FRAME_HEIGHT, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | flags);
    if (window == nullptr) throw StartupError("window", std::string("cannot be created: ") + SDL_GetError());
    return window;
}

std::string WithUnixLineEnds(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace

SdlToolkit::SdlToolkit(PresentPath path) {
    // The window's own framebuffer (X11 shared memory) presents several times faster than
    // SDL's default texture-backed path under a software GL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Both windows are borderless: on Wayland libdecor has nothing to draw, and without its
    // cairo plugin it warned at every start.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    OpenDisplay();

    char* base = SDL_GetBasePath();
    baseDir_ = DataDirectory(base != nullptr ? base : "./");
    SDL_free(base);

    // The main window may be resized and maximised: the scene is then enlarged by whole factors.
    main_ = CreateHiddenWindow(SDL_WINDOW_RESIZABLE);
    // A palette display (8 bits) has no framebuffer SDL can draw the scene into, and its box
    // would be unreadable: it is refused here, before either is tried.
    const DisplayColours colours = ColoursOf(main_);
    if (colours.palette || colours.bits < kLeastBitsPerPixel) {
        const std::string has =
            colours.palette ? "has a colour palette" : "has " + std::to_string(colours.bits) + " bits per pixel";
        throw StartupError("display", has + "; the demo needs at least " + std::to_string(kLeastBitsPerPixel) +
                                          " bits per pixel (high or true colour)");
    }
    splash_ = CreateHiddenWindow(0);
    ReportX11Failures(main_);
    // The splash belongs to the main window, not to the root window.
    SDL_SetWindowModalFor(splash_, main_);
    mainPresenter_ = std::make_unique<Presenter>(main_, path);
    // The splash's presenter is made when it is shown: SDL's framebuffer would use MIT-SHM
    // without asking whether the server reads this process's memory, so it is presented as the
    // main window is.
    path_ = path;
    const SurfaceHandle icon(SDL_LoadBMP_RW(SDL_RWFromConstMem(kWindowIcon, static_cast<int>(kWindowIconSize)), 1));
    if (!icon) throw StartupError("icon", std::string("cannot be decoded: ") + SDL_GetError());
    SDL_SetWindowIcon(main_, icon.get());
    SDL_SetWindowIcon(splash_, icon.get());
    startEvent_ = SDL_RegisterEvents(1);
}

SdlToolkit::~SdlToolkit() {
    if (timer_ != 0) SDL_RemoveTimer(timer_);
    mainPresenter_.reset();
    splashPresenter_.reset();
    if (splash_ != nullptr) SDL_DestroyWindow(splash_);
    if (main_ != nullptr) SDL_DestroyWindow(main_);
    SDL_Quit();
}

void SdlToolkit::PaintSplash() {
    splashScene_.CopyOnto(*splashPicture_, splashPresenter_->Target());
    splashPresenter_->Present();
}

void SdlToolkit::ShowSplash(const platform::Surface& picture) {
    splashPicture_ = &picture;
    if (splashPresenter_ == nullptr) splashPresenter_ = std::make_unique<Presenter>(splash_, path_);
    splashPresenter_->Prepare();
    SDL_ShowWindow(splash_);
    PaintSplash();
}

void SdlToolkit::HideSplash() {
    SDL_HideWindow(splash_);
    splashPicture_ = nullptr;
    splashPresenter_.reset();  // its images are not needed while it is hidden
}

void SdlToolkit::ShowMainWindow() {
    if (!mainPresenter_->Prepare()) throw StartupError("window", std::string("cannot be drawn: ") + SDL_GetError());
    SDL_ShowWindow(main_);
    mainPresenter_->Blank();  // not whatever lay beneath it until the first frame
}

void SdlToolkit::StartTimer(std::uint32_t intervalMs) {
    timer_ = SDL_AddTimer(intervalMs, &PostStartTick, &startEvent_);
    if (timer_ == 0) throw StartupError("start timer", std::string("cannot be started: ") + SDL_GetError());
}

bool SdlToolkit::Translate(const SDL_Event& sdl, InputEvent& event) {
    const std::uint32_t mainId = SDL_GetWindowID(main_);
    if (sdl.type == startEvent_) {
        timer_ = 0;  // fired; nothing left to remove
        event = {InputEvent::Kind::StartTick};
        return true;
    }
    switch (sdl.type) {
        case SDL_QUIT:
            event = {InputEvent::Kind::CloseRequest};
            return true;
        case SDL_WINDOWEVENT:
            if (sdl.window.event == SDL_WINDOWEVENT_CLOSE && sdl.window.windowID == mainId) {
                event = {InputEvent::Kind::CloseRequest};
                return true;
            }
            // SDL makes a window's framebuffer anew when its size changes.
            if (sdl.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                if (sdl.window.windowID == mainId) {
                    mainPresenter_->Invalidate();
                } else if (splashPresenter_ != nullptr) {
                    splashPresenter_->Invalidate();
                }
            }
            if (sdl.window.event == SDL_WINDOWEVENT_EXPOSED && sdl.window.windowID == mainId) {
                mainPresenter_->Repaint();
            } else if (sdl.window.event == SDL_WINDOWEVENT_EXPOSED && splashPicture_ != nullptr &&
                       sdl.window.windowID == SDL_GetWindowID(splash_)) {
                PaintSplash();
            }
            return false;
        case SDL_MOUSEMOTION:
            if (sdl.motion.windowID != mainId) return false;
            event = {InputEvent::Kind::PointerMoved, static_cast<float>(sdl.motion.x), static_cast<float>(sdl.motion.y)};
            return true;
        case SDL_MOUSEBUTTONUP:
            if (sdl.button.button != SDL_BUTTON_LEFT || sdl.button.windowID != mainId) return false;
            event = {InputEvent::Kind::Click};
            return true;
        case SDL_KEYDOWN: {
            // Not filtered by window: after a message box the focus may sit on the root window.
            const SDL_Keycode sym = sdl.key.keysym.sym;
            event = {InputEvent::Kind::KeyDown};
            event.keyCode = sym == SDLK_ESCAPE ? KEY_ESCAPE
                            : (sym >= 0 && sym < 0x8000) ? static_cast<std::int16_t>(sym)
                                                         : 0;
            return true;
        }
        default:
            return false;
    }
}

void SdlToolkit::CollectEvents(bool wait) {
    // SDL_PollEvent gathers what the display sent; waiting only blocks until there is some.
    if (wait && SDL_WaitEvent(nullptr) == 0) {
        throw StartupError("display", std::string("waiting for events failed: ") + SDL_GetError());
    }
}

bool SdlToolkit::NextEvent(InputEvent& event) {
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl))
        if (Translate(sdl, event)) return true;
    return false;
}

bool SdlToolkit::ShowMessageBox(const std::string& title, const std::string& text, BoxIcon icon, std::string& whyNot) {
    // A start-up failure's box is shown where the display opened; nothing else is left to do.
    const Uint32 flags = icon == BoxIcon::ErrorIcon ? SDL_MESSAGEBOX_ERROR : 0;
    // No parent: SDL's X11 box places itself relative to a parent at twice the parent's
    // offset, partly off the screen; without one it is centred on the screen.
    // SDL shows its X11 box from a forked child, which now and then crashes on a heavily
    // loaded machine (seen: SIGSEGV in 2 of about 40 loaded runs); SDL then falls back to
    // zenity, which desktops need not have. Shown again, the box appears.
    const bool x11 = std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
    bool shown = false;
    for (int attempt = 1; !shown; ++attempt) {
        shown = SDL_ShowSimpleMessageBox(flags, title.c_str(), WithUnixLineEnds(text).c_str(), nullptr) == 0;
        if (!shown && (!x11 || attempt == kMessageBoxAttempts)) {
            whyNot = SDL_GetError();
            break;
        }
    }
    // The box is modal: keys and clicks made while it was open do not reach the form.
    SyncWithDisplay(main_);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYMAPCHANGED);
    SDL_FlushEvents(SDL_MOUSEBUTTONDOWN, SDL_MOUSEWHEEL);
    SDL_RaiseWindow(main_);
    SDL_SetWindowInputFocus(main_);
    return shown;
}

std::uint32_t SdlToolkit::GetTickCount() { return platform::GetTickCount(); }

}  // namespace app
