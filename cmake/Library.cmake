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
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# qrv_add_benchmark(<name> SOURCES ... DEPENDS ...): one Google Benchmark program.
function(qrv_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
  zorvak_set_warnings(${name})
endfunction()
