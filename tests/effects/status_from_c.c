/* The library called as C calls it: any int where a status is asked for. */
#include <glimmerix/glimmerix.h>

const char *StatusTextFromC(int status) { return glimmerix_status_text(status); }
