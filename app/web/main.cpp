// glimmerix in a web page: the program on the browser toolkit. A start-up failure is
// written to the console and shown in the page; Esc ends the loop and the page offers to
// start again.
#include "app/program.h"
#include "app/web/probes.h"
#include "app/web/web_toolkit.h"

int main() {
    const int status = app::RunProgram([] { return std::make_unique<app::WebToolkit>(); }, &app::ProbeForm);
    if (status == 0) app::WebToolkit::ReportEnded();
    return status;
}
