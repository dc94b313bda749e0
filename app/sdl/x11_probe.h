// Whether the X server that DISPLAY names answers at all, decided within a time limit:
// Xlib's connection waits without end for a server that accepts and never replies.
#pragma once

#include <memory>
#include <string>

struct _XDisplay;  // Xlib's Display, without Xlib's macros

namespace app {

enum class X11Answer { Answered, Unreachable, Silent };

struct CloseX11Connection {
    void operator()(_XDisplay* connection) const;
};
using X11Connection = std::unique_ptr<_XDisplay, CloseX11Connection>;

// Opens a connection with Xlib itself (its credentials, its ways of reaching the server) on
// a thread of its own, waiting at most timeoutMs: Silent when it has not returned by then
// (the thread is left to the server), Unreachable when it failed. An answered connection is
// handed to `held`: a server with no other client resets when its last client leaves, and a
// connection made during the reset fails, so it is kept until the program's own is open.
X11Answer ProbeX11Display(const std::string& display, int timeoutMs, X11Connection& held);

}  // namespace app
