#include "app/sdl/desktop_guard.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace app {
namespace {

pid_t g_program = 0;

extern "C" void EndNow(int) { _exit(0); }

bool g_inChild = false;

// In every child the program forks: die with the program, which alone reports failures.
extern "C" void DieWithParent() {
    g_inChild = true;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != g_program) _exit(0);  // the program ended before the line above
}

// One line on standard error and status 1; only what is safe where Xlib calls it from. A
// child (SDL's message box) ends silently: the program says it once.
[[noreturn]] void EndWith(const char* line) {
    if (!g_inChild && write(STDERR_FILENO, line, std::strlen(line)) < 0) {
        // Nothing more can be said.
    }
    _exit(1);
}

extern "C" int OnXError(Display* display, XErrorEvent* error) {
    char what[96] = "";
    XGetErrorText(display, error->error_code, what, sizeof what);
    char line[192];
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        std::snprintf(line, sizeof line, "glimmerix: window: destroyed by another program (X error: %s)\n", what);
    } else {
        std::snprintf(line, sizeof line, "glimmerix: display: the X server refused a request (X error: %s)\n", what);
    }
    EndWith(line);
}

extern "C" int OnXIOError(Display*) { EndWith("glimmerix: display: the connection to the X server was lost\n"); }

Display* X11DisplayOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return info.info.x11.display;
}

}  // namespace

void KeepStandardDescriptorsOpen() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open gives the lowest free descriptor: this one, as those below it are open.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0) close(opened);
    }
}

void EndOnTerminationSignals() {
    g_program = getpid();
    struct sigaction action {};
    action.sa_handler = EndNow;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // An interrupt or hangup that whoever started the program ignores (nohup, a shell's
        // background job) stays ignored.
        struct sigaction before {};
        sigaction(signal, nullptr, &before);
        if (signal != SIGTERM && before.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
    pthread_atfork(nullptr, nullptr, DieWithParent);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Xlib's handler for a lost connection is the process's, so it is set before any
    // connection exists: a server gone during start-up is one line too.
    XSetIOErrorHandler(OnXIOError);
}

void ReportX11Failures(SDL_Window* window) {
    if (X11DisplayOf(window) == nullptr) return;
    XSetErrorHandler(OnXError);
}

void SyncWithDisplay(SDL_Window* window) {
    if (Display* display = X11DisplayOf(window)) XSync(display, False);
}

}  // namespace app
