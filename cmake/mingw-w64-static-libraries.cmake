# Read after CMake's own Windows-GNU settings (through CMAKE_USER_MAKE_RULES_OVERRIDE,
# which cmake/mingw-w64-x86_64.cmake sets): find_library and pkg_check_modules take
# the static archive lib*.a before the import library lib*.dll.a, so that a
# program links zlib in rather than needing zlib1.dll beside it.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .dll.a .lib)
