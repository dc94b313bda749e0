// glimmerix_frames: the real program's start-up and N frames of its frame loop on the
// SDL toolkit, then a normal exit; for running the program's code under valgrind, where
// no one is there to press Esc.   glimmerix_frames [N=1000]
#include <cstdio>
#include <cstdlib>

#include "app/frm_sample.h"
#include "app/sdl/sdl_toolkit.h"
#include "app/startup_error.h"

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    try {
        app::SdlToolkit toolkit;
        app::frmSample form(toolkit);
        form.Form_Load();
        toolkit.ShowMainWindow(100);
        form.MouseX = 150;
        for (long i = 0; i < frames; ++i) {
            if (i % 50 == 0) form.Form_Click();
            form.RunFrame();
        }
        std::printf("%ld frames, effect %d, %d frames per second\n", frames, form.CurrentEffect, form.loop.FramesPerSecond);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glimmerix_frames: %s\n", e.what());
        return 1;
    }
}
