// glimmerix on a Linux desktop: the program on the SDL2 toolkit. Start-up failures end it
// with status 1 after one line on standard error (and a message box where a display
// exists); Esc or a close request ends it with status 0.
#include "app/program.h"
#include "app/sdl/desktop_guard.h"
#include "app/sdl/sdl_toolkit.h"

int main() {
    app::KeepStandardDescriptorsOpen();
    app::EndOnTerminationSignals();
    return app::RunProgram([] { return std::make_unique<app::SdlToolkit>(); });
}
