#include "app/sdl/x11_probe.h"

#include <X11/Xlib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace app {

X11Answer ProbeX11Display(const std::string& display, int timeoutMs) {
    // Shared with the thread, which may outlive this call when the server never answers.
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool opened = false;
    };
    const auto outcome = std::make_shared<Outcome>();
    std::thread([outcome, display] {
        Display* connection = XOpenDisplay(display.c_str());
        const bool opened = connection != nullptr;
        if (opened) XCloseDisplay(connection);
        const std::lock_guard<std::mutex> lock(outcome->mutex);
        outcome->finished = true;
        outcome->opened = opened;
        outcome->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (!outcome->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return outcome->finished; })) {
        return X11Answer::Silent;
    }
    return outcome->opened ? X11Answer::Answered : X11Answer::Unreachable;
}

}  // namespace app
