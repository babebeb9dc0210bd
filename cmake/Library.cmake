# Headers install below include/zorvak, so that "#include "kaz2d/image.h"" reads the same inside
# and outside the project.
set(ZORVAK_INSTALL_INCLUDEDIR include/zorvak)

# qrv_add_library(<name> SOURCES ... [DEPENDS ...]): one library per folder, with the alias
# qrv::<name>, its folder's parent as the include root, and the project's warnings. Every
# library made here joins the installed framework package as qrv::<name> (see Install.cmake),
# except those the top level names in ZORVAK_NOT_INSTALLED.
function(qrv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(qrv_${name} STATIC ${ARG_SOURCES})
  add_library(qrv::${name} ALIAS qrv_${name})
  set_target_properties(qrv_${name} PROPERTIES EXPORT_NAME ${name})
  target_include_directories(qrv_${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}> $<INSTALL_INTERFACE:${ZORVAK_INSTALL_INCLUDEDIR}>)
  target_compile_features(qrv_${name} PUBLIC cxx_std_20)
  target_link_libraries(qrv_${name} PUBLIC ${ARG_DEPENDS})
  # Objects built with the sanitizers need their runtime wherever they are linked, also in a
  # program outside the project that uses an installed sanitizer build.
  if(ZORVAK_SANITIZE)
    target_link_options(qrv_${name} INTERFACE -fsanitize=address,undefined)
  endif()
  zorvak_set_warnings(qrv_${name})
  set_property(TARGET qrv_${name} PROPERTY QRV_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY QRV_LIBRARIES ${name})
endfunction()

# qrv_add_test(<name> SOURCES ... DEPENDS ...): one GoogleTest program, its cases registered with CTest.
function(qrv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  zorvak_set_warnings(${name})
  qrv_web_test_options(${name})
  # Under Wine a test's process now and then stays after the test has ended: there a minute is
  # plenty, and tools/windows.sh gives such a test a second run.
  if(WIN32)
    set(timeout 60)
  else()
    set(timeout 300)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${timeout})
endfunction()

# qrv_web_test_options(<target>): a test program built for the web runs under node and reads the
# real file system (test data in the source tree, temporary folders) instead of the in-memory one
# a page has; memory grows as the decoders need it, and the exit code reaches ctest.
function(qrv_web_test_options target)
  if(EMSCRIPTEN)
    target_link_options(${target} PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
  endif()
endfunction()

# qrv_add_benchmark(<name> SOURCES ... DEPENDS ...): one Google Benchmark program.
function(qrv_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
  zorvak_set_warnings(${name})
endfunction()

# qrv_platform_sources(<variable> <name>...): appends, for each name, the half of it written for
# the platform being built: <name>_windows.cpp on Windows, <name>_web.cpp in browsers where the
# web needs a half of its own, else <name>_posix.cpp.
function(qrv_platform_sources variable)
  set(sources ${${variable}})
  foreach(name ${ARGN})
    if(WIN32)
      list(APPEND sources ${name}_windows.cpp)
    elseif(EMSCRIPTEN AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}_web.cpp)
      list(APPEND sources ${name}_web.cpp)
    else()
      list(APPEND sources ${name}_posix.cpp)
    endif()
  endforeach()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()

# qrv_skipped_test(<name> <reason>): on a platform where a test program cannot run, one test that
# reports itself skipped with the reason, so the run counts and names what it left out.
function(qrv_skipped_test name reason)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped: ")
endfunction()

# qrv_find_opengl(): the target OpenGL::GL. In a browser WebGL comes with every program emcc
# links, and Emscripten's find module makes no target, so there it names nothing more.
macro(qrv_find_opengl)
  if(EMSCRIPTEN)
    if(NOT TARGET OpenGL::GL)
      add_library(OpenGL::GL INTERFACE IMPORTED GLOBAL)
    endif()
  else()
    find_package(OpenGL REQUIRED)
  endif()
endmacro()
