#include "bench/startup_probe.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "app/frm_sample.h"

namespace bench {

double MeasureStartup(const std::string& program) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return -1;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The program creates its main window first (hidden), then the splash window; the
    // main window is mapped once the load sequence has returned.
    Window main = 0;
    double ms = -1;
    while (ms < 0 && Clock::now() - start < std::chrono::seconds(10)) {
        if (XPending(display) == 0) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && main == 0 && event.xcreatewindow.width == app::FRAME_WIDTH &&
            event.xcreatewindow.height == app::FRAME_HEIGHT) {
            main = event.xcreatewindow.window;
        } else if (event.type == MapNotify && main != 0 && event.xmap.window == main) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return ms;
}

}  // namespace bench
