# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread model, which
# std::thread and std::mutex need). Tests run under Wine through CMake's emulator hook.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PIGMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PIGMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIGMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PIGMORA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PIGMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine: with its prefix inside the build folder (never the user's ~/.wine), quiet,
# headless (no display asked for), and without the .NET and HTML engines, whose installers would
# otherwise be offered while the prefix is made. Debian's `wine` launcher runs 64-bit programs with
# `wine64` alone, with no 32-bit Wine installed.
find_program(PIGMORA_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(PIGMORA_WINE)
  set(PIGMORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY WINEPREFIX=${PIGMORA_WINEPREFIX}
      WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=d ${PIGMORA_WINE})
endif()
# -O2 as the Linux builds use: GCC 12's -O3 reports false buffer overflows inside libstdc++.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
