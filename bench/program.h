// The real program's window and main form, for the benchmarks that need a display:
// composing whole frames, the frame loop, and the bare present loop.
#pragma once

#include "app/frm_sample.h"
#include "app/sdl/sdl_toolkit.h"

namespace bench {

// Loaded and shown; the start timer is not armed, so the benchmarks drive the frames.
struct Program {
    Program() {
        form.Form_Load();
        toolkit.ShowMainWindow();
    }
    app::SdlToolkit toolkit;
    app::frmSample form{toolkit};
};

Program& GetProgram();

// Frames per second of the bare present loop and of the program's frame loop, measured
// in alternating rounds of the given length; the median round of each.
struct LoopRates {
    double presentOnly;
    double frameLoop;
};
LoopRates MeasureLoopRates(int rounds, double secondsPerRound);

}  // namespace bench
