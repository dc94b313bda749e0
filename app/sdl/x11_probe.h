// Whether the X server that DISPLAY names answers at all, decided within a time limit:
// Xlib's own connection waits without end for a server that accepts and never replies.
#pragma once

#include <string>

namespace app {

enum class X11Answer { Answered, Unreachable, Silent };

// Connects as Xlib would (the local socket, or TCP for a host name) and sends the
// connection setup without credentials: any reply, a refusal included, is an answer.
// Unreachable where nothing accepts the connection (Xlib then fails at once by itself).
X11Answer ProbeX11Display(const std::string& display, int timeoutMs);

}  // namespace app
