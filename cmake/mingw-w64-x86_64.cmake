# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers
# (g++-mingw-w64-x86-64-posix), into programs that need no MinGW DLL beside them,
# and runs target programs under Wine where CMake or CTest must run one.
#
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64-x86_64.cmake
#
# QUILLET_WINDOWS_DEPS is the prefix that holds the cross-built libzip and SQLite;
# scripts/build-windows makes it. By default it is build/windows/deps/prefix of
# this source tree.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLET_MINGW_TRIPLET x86_64-w64-mingw32)

# The posix thread model, so that std::thread, std::mutex and friends exist.
set(CMAKE_C_COMPILER ${QUILLET_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLET_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLET_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${QUILLET_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${QUILLET_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# -static links libgcc, libstdc++ and winpthread into each program and DLL, and
# makes the linker take lib*.a over the import library lib*.dll.a for every -l.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# find_library, though, prefers lib*.dll.a (the platform's own setting, which is
# read after this file); this file puts the static archive first again.
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-static-libraries.cmake)

if(NOT QUILLET_WINDOWS_DEPS)
  get_filename_component(QUILLET_WINDOWS_DEPS
    "${CMAKE_CURRENT_LIST_DIR}/../build/windows/deps/prefix" ABSOLUTE)
endif()
set(QUILLET_WINDOWS_DEPS "${QUILLET_WINDOWS_DEPS}" CACHE PATH
  "Prefix of the libraries cross-built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLET_WINDOWS_DEPS)

# Headers and libraries come only from the MinGW tree and the prefix above,
# never from the build machine's /usr/include or /usr/lib; programs (pkg-config,
# code generators) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLET_MINGW_TRIPLET} ${QUILLET_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the .pc files of the same two trees, and answers with
# what a static link needs (Libs.private too: libzip's bcrypt and zlib).
set(ENV{PKG_CONFIG_LIBDIR}
  "${QUILLET_WINDOWS_DEPS}/lib/pkgconfig:/usr/${QUILLET_MINGW_TRIPLET}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments to supply to pkg-config")

# Target programs (tests, try_run) run under Wine. Debian 12's wine64 package
# keeps its loader off PATH. The Wine prefix lives in the build folder, so a
# build never touches ~/.wine; the first run makes it (some seconds). Mono and
# Gecko are not wanted, so Wine does not offer to install them.
if(EXISTS /usr/lib/wine/wine64)
  set(QUILLET_WINE_LOADER /usr/lib/wine/wine64)
else()
  find_program(QUILLET_WINE_LOADER NAMES wine64 wine REQUIRED)
endif()
# XDG_DATA_HOME: Wine's recycle bin is the freedesktop trash below it, which
# the tests then keep in the build folder (tests/support/files.h finds it there)
# rather than in the user's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
  /usr/bin/env
  WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
  XDG_DATA_HOME=${CMAKE_BINARY_DIR}/wine-data
  WINEDEBUG=-all
  WINEDLLOVERRIDES=mscoree,mshtml=
  ${QUILLET_WINE_LOADER})
