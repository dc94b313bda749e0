/* Works the demo's main window as Windows itself would, for what the X server cannot ask an
 * unmanaged Wine window to do (external resizes reach only its X window):
 *   window_control size WIDTH HEIGHT | maximize | restore */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv) {
    HWND form = FindWindowW(L"GlimmerixForm", L"Form1");
    if (form == NULL) return fprintf(stderr, "window_control: no main window\n"), 1;
    if (argc == 4 && strcmp(argv[1], "size") == 0) {
        return SetWindowPos(form, NULL, 0, 0, atoi(argv[2]), atoi(argv[3]), SWP_NOMOVE | SWP_NOZORDER) ? 0 : 1;
    }
    if (argc == 2 && strcmp(argv[1], "maximize") == 0) return ShowWindow(form, SW_MAXIMIZE), 0;
    if (argc == 2 && strcmp(argv[1], "restore") == 0) return ShowWindow(form, SW_RESTORE), 0;
    fprintf(stderr, "usage: window_control size WIDTH HEIGHT | maximize | restore\n");
    return 2;
}
