// Time from starting the program until its main window is mapped on the X server, which
// happens when the load sequence has returned.
#pragma once

#include <string>

namespace bench {

// Milliseconds, or a negative value when the window did not appear within 10 s.
double MeasureStartup(const std::string& program);

}  // namespace bench
