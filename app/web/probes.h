// The page's probes of the running program (probes.cpp): told of the main window by
// RunProgram's watcher.
#pragma once

#include "app/frm_sample.h"

namespace app {

void ProbeForm(const frmSample* form);

}  // namespace app
