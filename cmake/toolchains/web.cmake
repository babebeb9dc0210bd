# Building for browsers with Debian's Emscripten (WebAssembly). Libraries built for the web by
# tools/deps.sh are found under ZORVAK_DEPS_PREFIX; programs built here run under node, which
# needs fetch() off to load a local .wasm file.
if(NOT ZORVAK_DEPS_PREFIX AND DEFINED ENV{ZORVAK_DEPS_PREFIX})
  set(ZORVAK_DEPS_PREFIX $ENV{ZORVAK_DEPS_PREFIX})
endif()
set(ZORVAK_DEPS_PREFIX "${ZORVAK_DEPS_PREFIX}" CACHE PATH "Libraries built for the web by tools/deps.sh")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORVAK_DEPS_PREFIX)

find_program(ZORVAK_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${ZORVAK_NODE};--no-experimental-fetch" CACHE STRING "")

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# The project throws and catches C++ exceptions (stream errors, TRuntimeError), which Emscripten
# leaves off by default: a throw would end the program. Its JavaScript-based handling works
# beside the setjmp/longjmp that libpng and libjpeg use for their errors.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions")

# Our libraries come first: Emscripten's own folder has package files for its downloaded ports
# (SDL2 among them), which cannot be fetched here.
list(PREPEND CMAKE_FIND_ROOT_PATH ${ZORVAK_DEPS_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

# emcc's JavaScript optimiser needs Debian's node modules (acorn), which the node installed here
# does not look for by itself; every link is started with them on its path.
set(ZORVAK_NODE_MODULES /usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${ZORVAK_NODE_MODULES})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${ZORVAK_NODE_MODULES})
