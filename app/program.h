// The program's lifecycle, the same on every platform: the toolkit opened, the load
// sequence, the main window shown, the one-shot start timer, its tick running the welcome
// box and the frame loop; a start-up failure reported as one line on standard error and
// in a message box titled "Glimmerix". A platform's main is a call of RunProgram.
#pragma once

#include <functional>
#include <memory>

#include "app/frm_sample.h"
#include "app/toolkit.h"

namespace app {

using OpenToolkit = std::function<std::unique_ptr<Toolkit>()>;
// Told of the main window once it exists, and with null before it goes (the page's probes).
using WatchForm = std::function<void(const frmSample*)>;

// The exit status: 0 when the program ended through Esc or a close request, 1 after a
// start-up failure (opening the toolkit included).
int RunProgram(const OpenToolkit& open, const WatchForm& watch = {});
// The same on a toolkit already open.
int RunProgram(Toolkit& toolkit, const WatchForm& watch = {});

}  // namespace app
