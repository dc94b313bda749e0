# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix-threads compilers,
# whose C++ runtime has std::thread and std::mutex). Tests run under Wine through CTest's
# emulator; tools/windows.sh sets up the Wine prefix they run in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GLIMMERIX_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${GLIMMERIX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLIMMERIX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GLIMMERIX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLIMMERIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CMake packages also where CMAKE_PREFIX_PATH names them (an unzipped development folder).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The protections Debian's hardening gives the Linux build that mingw-w64 has: a stack
# protector and fortified string functions (ASLR, high-entropy addresses and NX are the
# linker's defaults). Control Flow Guard needs a newer toolchain than Debian 12's.
set(GLIMMERIX_HARDENING "-fstack-protector-strong -D_FORTIFY_SOURCE=2")
set(CMAKE_C_FLAGS_INIT "${GLIMMERIX_HARDENING}")
set(CMAKE_CXX_FLAGS_INIT "${GLIMMERIX_HARDENING}")
# The C and C++ runtimes and winpthread linked in: nothing but system DLLs beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fstack-protector-strong")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -fstack-protector-strong")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tests/win32/wine-run.sh)
