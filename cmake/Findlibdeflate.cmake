# Finds libdeflate (its Debian package ships no CMake configuration) and makes the imported
# target libdeflate::libdeflate.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(PC_LIBDEFLATE QUIET libdeflate)
endif()
find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h HINTS ${PC_LIBDEFLATE_INCLUDE_DIRS})
find_library(LIBDEFLATE_LIBRARY NAMES deflate HINTS ${PC_LIBDEFLATE_LIBRARY_DIRS})
mark_as_advanced(LIBDEFLATE_INCLUDE_DIR LIBDEFLATE_LIBRARY)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(libdeflate
  REQUIRED_VARS LIBDEFLATE_LIBRARY LIBDEFLATE_INCLUDE_DIR
  VERSION_VAR PC_LIBDEFLATE_VERSION)

if(libdeflate_FOUND AND NOT TARGET libdeflate::libdeflate)
  add_library(libdeflate::libdeflate UNKNOWN IMPORTED)
  set_target_properties(libdeflate::libdeflate PROPERTIES
    IMPORTED_LOCATION "${LIBDEFLATE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${LIBDEFLATE_INCLUDE_DIR}")
endif()
