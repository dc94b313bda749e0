// How the program ends when the desktop rather than the user ends it: a termination
// signal in any state, the X server gone, a window destroyed by another program. Each
// ends it at once, after at most one line on standard error, leaving no child behind.
#pragma once

#include <SDL.h>

namespace app {

// Opens /dev/null on each of standard input, output and error that was left closed, before
// anything else opens a file: otherwise the display connection would take descriptor 1 or 2
// and a failure's line would be written into it. Call first.
void KeepStandardDescriptorsOpen();

// SIGTERM, SIGINT and SIGHUP end the program at once with status 0, like the window
// manager's close request, whatever it is doing: loading, showing a box, in the frame
// loop; an interrupt or hangup ignored by whoever started it stays ignored. A child
// process it forks (SDL shows its X11 message box from one) is killed when
// the program ends. Call before SDL starts, which is then told to leave the signals alone.
void EndOnTerminationSignals();

// On X11: an error from the X server (a window destroyed by another program) prints one line
// naming it and ends the program with status 1, instead of Xlib's dump of the failed
// request. Does nothing under other video drivers. (A lost connection is one line from
// EndOnTerminationSignals on, whatever the program is doing.)
void ReportX11Failures(SDL_Window* window);

// On X11: waits until the X server has sent every event made so far, so that they are in
// SDL's queue. Does nothing under other video drivers.
void SyncWithDisplay(SDL_Window* window);

}  // namespace app
