// glimmerix on Windows: the program on the Win32 toolkit. Start-up failures end it with
// status 1 after one line on standard error and a message box; Esc or a close request ends
// it with status 0.
#include <windows.h>

#include "app/program.h"
#include "app/win32/win32_toolkit.h"

int main() {
    return app::RunProgram([] { return std::make_unique<app::Win32Toolkit>(); });
}
