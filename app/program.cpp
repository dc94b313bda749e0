#include "app/program.h"

#include <cstdio>
#include <exception>
#include <string>

#include "app/startup_error.h"

namespace app {
namespace {

int Fail(Toolkit* toolkit, const std::string& what) {
    std::fprintf(stderr, "glimmerix: %s\n", what.c_str());
    std::string whyNot;  // standard error has the failure already
    if (toolkit != nullptr) toolkit->ShowMessageBox("Glimmerix", what, BoxIcon::ErrorIcon, whyNot);
    return 1;
}

// Tells the watcher of the form while it exists.
class Watched {
public:
    Watched(const WatchForm& watch, const frmSample& form) : watch_(watch) {
        if (watch_) watch_(&form);
    }
    ~Watched() {
        if (watch_) watch_(nullptr);
    }
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

private:
    const WatchForm& watch_;
};

// Runs the body, reporting a failure it throws.
template <class Body>
int Reporting(Toolkit* toolkit, Body&& body) {
    try {
        return body();
    } catch (const StartupError& e) {
        return Fail(toolkit, e.what());
    } catch (const std::exception& e) {
        return Fail(toolkit, std::string("unexpected failure: ") + e.what());
    }
}

}  // namespace

int RunProgram(Toolkit& toolkit, const WatchForm& watch) {
    return Reporting(&toolkit, [&] {
        frmSample form(toolkit);
        const Watched watched(watch, form);
        form.Form_Load();
        toolkit.ShowMainWindow();
        // A one-shot timer armed only now: no tick can fall due inside the load sequence, and
        // none can come a second time while the first one's handler runs.
        toolkit.StartTimer(START_TIMER_MS);
        if (form.WaitForStartTick()) form.tmrStart_Timer();
        return 0;
    });
}

int RunProgram(const OpenToolkit& open, const WatchForm& watch) {
    std::unique_ptr<Toolkit> toolkit;
    if (const int failed = Reporting(nullptr, [&] {
            toolkit = open();
            return 0;
        })) {
        return failed;
    }
    return RunProgram(*toolkit, watch);
}

}  // namespace app
