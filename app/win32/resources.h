// Resource identifiers, shared by the resource script and the code (hence macros).
#pragma once

#define GLIMMERIX_ICON 1
