#include "app/sdl/sdl_toolkit.h"

#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/program_files.h"
#include "app/sdl/desktop_guard.h"
#include "app/sdl/picture_decode.h"
#include "app/sdl/program_font.h"
#include "app/startup_error.h"
#include "platform/gdi.h"

extern const unsigned char kWindowIcon[];
extern const std::size_t kWindowIconSize;

namespace app {
namespace {

constexpr const char* kWindowTitle = "Form1";
constexpr int kMessageBoxAttempts = 3;

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
    if (Variable("DISPLAY") != nullptr) drivers = "x11";
    if (Variable("WAYLAND_DISPLAY") != nullptr) drivers += drivers.empty() ? "wayland" : ",wayland";
    if (drivers.empty()) throw StartupError("display", "none found: DISPLAY and WAYLAND_DISPLAY are not set");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if (SDL_Init(kSubsystems) != 0) throw StartupError("display", NoDisplayReason());
}

SDL_Window* CreateHiddenWindow() {
    SDL_Window* window = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, FRAME_WIDTH,
                                          FRAME_HEIGHT, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (window == nullptr) throw StartupError("window", std::string("cannot be created: ") + SDL_GetError());
    return window;
}

std::string WithUnixLineEnds(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace

SdlToolkit::SdlToolkit() {
    // The window's own framebuffer (X11 shared memory) presents several times faster than
    // SDL's default texture-backed path under a software GL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    OpenDisplay();
    if (TTF_Init() != 0) throw StartupError("font", std::string("SDL_ttf failed: ") + TTF_GetError());

    text_ = OpenProgramFont();

    char* base = SDL_GetBasePath();
    baseDir_ = DataDirectory(base != nullptr ? base : "./");
    SDL_free(base);

    main_ = CreateHiddenWindow();
    splash_ = CreateHiddenWindow();
    ReportX11Failures(main_);
    // The splash belongs to the main window, not to the root window.
    SDL_SetWindowModalFor(splash_, main_);
    mainPresenter_ = std::make_unique<Presenter>(main_);
    splashPresenter_ = std::make_unique<Presenter>(splash_);
    const SurfaceHandle icon(SDL_LoadBMP_RW(SDL_RWFromConstMem(kWindowIcon, static_cast<int>(kWindowIconSize)), 1));
    if (!icon) throw StartupError("icon", std::string("cannot be decoded: ") + SDL_GetError());
    SDL_SetWindowIcon(main_, icon.get());
    SDL_SetWindowIcon(splash_, icon.get());
    startEvent_ = SDL_RegisterEvents(1);
}

SdlToolkit::~SdlToolkit() {
    if (timer_ != 0) SDL_RemoveTimer(timer_);
    text_.reset();
    mainPresenter_.reset();
    splashPresenter_.reset();
    if (splash_ != nullptr) SDL_DestroyWindow(splash_);
    if (main_ != nullptr) SDL_DestroyWindow(main_);
    TTF_Quit();
    SDL_Quit();
}

std::string SdlToolkit::ProgramDirectory() { return baseDir_; }

void SdlToolkit::DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name,
                               platform::Surface& target) {
    DecodePictureOnto(bytes, name, target);
}

void SdlToolkit::ShowSplash(const platform::Surface& picture) {
    splashPicture_ = &picture;
    splashPresenter_->Prepare();
    SDL_ShowWindow(splash_);
    splashPresenter_->Present(picture);
}

void SdlToolkit::HideSplash() {
    SDL_HideWindow(splash_);
    splashPicture_ = nullptr;
}

void SdlToolkit::Dispatch(const SDL_Event& event, FormEvents& form) {
    const std::uint32_t mainId = SDL_GetWindowID(main_);
    switch (event.type) {
        case SDL_QUIT:
            form.Form_QueryUnload();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE && event.window.windowID == mainId) {
                form.Form_QueryUnload();
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED && event.window.windowID == mainId) {
                mainPresenter_->Present(mainPresenter_->Target());  // what the window last showed
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED && splashPicture_ != nullptr &&
                       event.window.windowID == SDL_GetWindowID(splash_)) {
                splashPresenter_->Present(*splashPicture_);
            }
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.windowID == mainId) {
                form.Form_MouseMove(static_cast<int>(event.motion.state), SDL_GetModState(),
                                    static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT && event.button.windowID == mainId) form.Form_Click();
            break;
        case SDL_KEYDOWN: {
            // Not filtered by window: after a message box the focus may sit on the root window.
            const SDL_Keycode sym = event.key.keysym.sym;
            std::int16_t keyCode = sym == SDLK_ESCAPE ? KEY_ESCAPE
                                   : (sym >= 0 && sym < 0x8000) ? static_cast<std::int16_t>(sym)
                                                                : 0;
            form.Form_KeyDown(keyCode, event.key.keysym.mod);
            break;
        }
        default:
            break;
    }
}

void SdlToolkit::DoEvents(FormEvents& form) {
    SDL_Event event;
    while (!form.Ending() && SDL_PollEvent(&event)) Dispatch(event, form);
}

void SdlToolkit::PrintText(platform::Surface& surface, int x, int y, std::string_view text) {
    text_->Print(surface, x, y, text);
}

void SdlToolkit::Present(const platform::Surface& window) { mainPresenter_->Present(window); }

void SdlToolkit::MessageBox(const std::string& title, const std::string& text) {
    // No parent: SDL's X11 box places itself relative to a parent at twice the parent's
    // offset, partly off the screen; without one it is centred on the screen.
    // SDL shows its X11 box from a forked child, which now and then crashes on a heavily
    // loaded machine (seen: SIGSEGV in 2 of about 40 loaded runs); SDL then falls back to
    // zenity, which desktops need not have. Shown again, the box appears.
    const bool x11 = std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
    for (int attempt = 1; SDL_ShowSimpleMessageBox(0, title.c_str(), WithUnixLineEnds(text).c_str(), nullptr) != 0;
         ++attempt) {
        if (!x11 || attempt == kMessageBoxAttempts) {
            std::fprintf(stderr, "glimmerix: the welcome message could not be shown (%s); going on\n", SDL_GetError());
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
}

std::uint32_t SdlToolkit::GetTickCount() { return platform::GetTickCount(); }

void SdlToolkit::ShowMainWindow(std::uint32_t timerMs) {
    if (!mainPresenter_->Prepare()) throw StartupError("window", std::string("cannot be drawn: ") + SDL_GetError());
    SDL_ShowWindow(main_);
    mainPresenter_->Blank();  // not whatever lay beneath it until the first frame
    timer_ = SDL_AddTimer(timerMs, &PostStartTick, &startEvent_);
    if (timer_ == 0) throw StartupError("start timer", std::string("cannot be started: ") + SDL_GetError());
}

bool SdlToolkit::WaitForStartTick(FormEvents& form) {
    SDL_Event event;
    while (!form.Ending()) {
        if (SDL_WaitEvent(&event) == 0) return false;
        if (event.type == startEvent_) {
            timer_ = 0;  // fired; nothing left to remove
            return true;
        }
        Dispatch(event, form);
    }
    return false;
}

void SdlToolkit::ShowErrorBox(const std::string& message) {
    // The failure is on standard error already; a box that cannot be shown adds nothing.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Glimmerix", message.c_str(), nullptr);
}

}  // namespace app
