# qrv_add_library(<name> SOURCES ... [DEPENDS ...]): one library per folder, with the alias
# qrv::<name>, its folder's parent as the include root, and the project's warnings.
function(qrv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(qrv_${name} STATIC ${ARG_SOURCES})
  add_library(qrv::${name} ALIAS qrv_${name})
  target_include_directories(qrv_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(qrv_${name} PUBLIC ${ARG_DEPENDS})
  zorvak_set_warnings(qrv_${name})
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
