// glimmerix in a web page: the desktop program's start-up and frame loop on the browser
// toolkit. A start-up failure is written to the console and shown in the page; Esc ends
// the loop and the page offers to start again.
#include <emscripten.h>

#include <cstdio>
#include <exception>

#include "app/frm_sample.h"
#include "app/startup_error.h"
#include "app/web/web_toolkit.h"

namespace {

constexpr std::uint32_t kStartTimerMs = 100;

// The running program, for the page's probes below; null before and after.
app::frmSample* gForm = nullptr;
app::WebToolkit* gToolkit = nullptr;

struct Published {
    Published(app::frmSample& form, app::WebToolkit& toolkit) {
        gForm = &form;
        gToolkit = &toolkit;
    }
    ~Published() {
        gForm = nullptr;
        gToolkit = nullptr;
    }
};

int Fail(const std::string& what) {
    std::fprintf(stderr, "glimmerix: %s\n", what.c_str());
    app::WebToolkit::ReportFailure(what);
    return 1;
}

}  // namespace

// What the page and its tests can ask of the running program; -1 (or "") when none runs.
extern "C" {
EMSCRIPTEN_KEEPALIVE int glimmerix_web_current_effect() { return gForm != nullptr ? gForm->CurrentEffect : -1; }
EMSCRIPTEN_KEEPALIVE int glimmerix_web_frames_per_second() {
    return gForm != nullptr ? gForm->loop.FramesPerSecond : -1;
}
EMSCRIPTEN_KEEPALIVE int glimmerix_web_sprite_x() { return gForm != nullptr ? gForm->loop.SpriteX : -1; }
EMSCRIPTEN_KEEPALIVE int glimmerix_web_sprite_y() { return gForm != nullptr ? gForm->loop.SpriteY : -1; }
EMSCRIPTEN_KEEPALIVE const char* glimmerix_web_printed_line(int index) {
    return gToolkit != nullptr ? gToolkit->PrintedLine(index).c_str() : "";
}
}

int main() {
    try {
        app::WebToolkit toolkit;
        app::frmSample form(toolkit);
        const Published published(form, toolkit);
        form.Form_Load();
        if (toolkit.WaitForStartTick(form, kStartTimerMs)) form.tmrStart_Timer();
    } catch (const app::StartupError& e) {
        return Fail(e.what());
    } catch (const std::exception& e) {
        return Fail(std::string("unexpected failure: ") + e.what());
    }
    app::WebToolkit::ReportEnded();
    return 0;
}
