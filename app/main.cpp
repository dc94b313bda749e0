// glimmerix: the demonstration program. Start-up failures end it with status 1 after one
// line on standard error (and a message box where a display exists); Esc or a close
// request ends it with status 0.
#include <cstdio>
#include <exception>
#include <memory>

#include "app/frm_sample.h"
#include "app/sdl/desktop_guard.h"
#include "app/sdl/sdl_toolkit.h"
#include "app/startup_error.h"

namespace {

constexpr std::uint32_t kStartTimerMs = 100;

int Fail(const char* what) {
    std::fprintf(stderr, "glimmerix: %s\n", what);
    app::SdlToolkit::ShowErrorBox(what);
    return 1;
}

}  // namespace

int main() {
    app::EndOnTerminationSignals();
    std::unique_ptr<app::SdlToolkit> toolkit;
    try {
        toolkit = std::make_unique<app::SdlToolkit>();
        app::frmSample form(*toolkit);
        form.Form_Load();
        toolkit->ShowMainWindow(kStartTimerMs);
        if (toolkit->WaitForStartTick(form)) form.tmrStart_Timer();
        return 0;
    } catch (const app::StartupError& e) {
        return Fail(e.what());
    } catch (const std::exception& e) {
        return Fail((std::string("unexpected failure: ") + e.what()).c_str());
    }
}
