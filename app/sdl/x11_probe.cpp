#include "app/sdl/x11_probe.h"

#include <X11/Xlib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace app {

void CloseX11Connection::operator()(_XDisplay* connection) const { XCloseDisplay(connection); }

X11Answer ProbeX11Display(const std::string& display, int timeoutMs, X11Connection& held) {
    // Shared with the thread, which may outlive this call when the server never answers.
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;  // the caller stopped waiting: the thread closes what it opens
        Display* connection = nullptr;
    };
    const auto outcome = std::make_shared<Outcome>();
    std::thread([outcome, display] {
        Display* connection = XOpenDisplay(display.c_str());
        const std::lock_guard<std::mutex> lock(outcome->mutex);
        if (outcome->abandoned) {
            if (connection != nullptr) XCloseDisplay(connection);
            return;
        }
        outcome->finished = true;
        outcome->connection = connection;
        outcome->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (!outcome->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return outcome->finished; })) {
        outcome->abandoned = true;
        return X11Answer::Silent;
    }
    if (outcome->connection == nullptr) return X11Answer::Unreachable;
    held.reset(outcome->connection);
    return X11Answer::Answered;
}

}  // namespace app
