# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and std::mutex need). Libraries built for the target by tools/deps.sh are
# found under ZORVAK_DEPS_PREFIX; programs built here run under Wine where it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVAK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVAK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVAK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVAK_MINGW}-windres)
set(CMAKE_AR ${ZORVAK_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZORVAK_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT ZORVAK_DEPS_PREFIX AND DEFINED ENV{ZORVAK_DEPS_PREFIX})
  set(ZORVAK_DEPS_PREFIX $ENV{ZORVAK_DEPS_PREFIX})
endif()
set(ZORVAK_DEPS_PREFIX "${ZORVAK_DEPS_PREFIX}" CACHE PATH "Libraries built for Windows by tools/deps.sh")
# Try-compiles run in projects of their own and see only the variables named here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORVAK_DEPS_PREFIX)

# Packages are looked for only below these roots; a prefix given on the command line (an
# installed framework) is one of them.
set(CMAKE_FIND_ROOT_PATH /usr/${ZORVAK_MINGW} ${ZORVAK_DEPS_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs carry the C and C++ runtimes and the thread library in them, so they need no DLL
# beyond those Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Only static libraries exist for the target: find them, never an import library of a DLL.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

find_program(ZORVAK_WINE NAMES wine wine64)
if(ZORVAK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVAK_WINE})
endif()
