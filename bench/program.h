// The real program's window and main form, for the benchmarks that need a display:
// composing whole frames, the frame loop, and the bare present loop.
#pragma once

#include "app/frm_sample.h"
#include "app/sdl/sdl_toolkit.h"

namespace bench {

// Loaded and shown; the start timer is not armed, so the benchmarks drive the frames.
struct Program {
    explicit Program(app::PresentPath path) : toolkit(path) {
        form.Form_Load();
        toolkit.ShowMainWindow();
    }
    app::SdlToolkit toolkit;
    app::frmSample form{toolkit};
};

// One program for each way of presenting; their windows side by side, neither over the other.
Program& GetProgram(app::PresentPath path = app::PresentPath::OwnWhereAvailable);

// Frames per second of the bare present loop and of the program's frame loop with its own
// presenter, and of the frame loop with SDL's, measured in alternating rounds of the given
// length; the median round of each. The present loop puts a fixed frame, the rectangles a
// frame at rest changes, and drains events.
struct LoopRates {
    double presentOnly;
    double frameLoop;
    double frameLoopSdlPresent;
    bool ownPresenter;
};
LoopRates MeasureLoopRates(int rounds, double secondsPerRound);

}  // namespace bench
