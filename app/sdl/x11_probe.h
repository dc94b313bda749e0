// Whether the X server that DISPLAY names answers at all, decided within a time limit:
// Xlib's connection waits without end for a server that accepts and never replies.
#pragma once

#include <string>

namespace app {

enum class X11Answer { Answered, Unreachable, Silent };

// Opens and closes a connection with Xlib itself (its credentials, its ways of reaching the
// server) on a thread of its own, waiting at most timeoutMs: Silent when it has not returned
// by then (the thread is left to the server), Unreachable when it failed at once.
X11Answer ProbeX11Display(const std::string& display, int timeoutMs);

}  // namespace app
