# Finds libvorbisfile with the libvorbis and libogg it decodes with (Debian's packages ship no
# CMake configuration) and makes the imported targets Ogg::ogg, Vorbis::vorbis and
# Vorbis::vorbisfile, each bringing the ones it needs, so that static builds link in order.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(PC_VORBISFILE QUIET vorbisfile)
endif()
find_path(VORBIS_INCLUDE_DIR vorbis/vorbisfile.h HINTS ${PC_VORBISFILE_INCLUDE_DIRS})
find_path(OGG_INCLUDE_DIR ogg/ogg.h HINTS ${PC_VORBISFILE_INCLUDE_DIRS})
find_library(VORBISFILE_LIBRARY NAMES vorbisfile HINTS ${PC_VORBISFILE_LIBRARY_DIRS})
find_library(VORBIS_LIBRARY NAMES vorbis HINTS ${PC_VORBISFILE_LIBRARY_DIRS})
find_library(OGG_LIBRARY NAMES ogg HINTS ${PC_VORBISFILE_LIBRARY_DIRS})
mark_as_advanced(VORBIS_INCLUDE_DIR OGG_INCLUDE_DIR VORBISFILE_LIBRARY VORBIS_LIBRARY OGG_LIBRARY)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Vorbis
  REQUIRED_VARS VORBISFILE_LIBRARY VORBIS_LIBRARY OGG_LIBRARY VORBIS_INCLUDE_DIR OGG_INCLUDE_DIR
  VERSION_VAR PC_VORBISFILE_VERSION)

if(Vorbis_FOUND AND NOT TARGET Vorbis::vorbisfile)
  add_library(Ogg::ogg UNKNOWN IMPORTED)
  set_target_properties(Ogg::ogg PROPERTIES
    IMPORTED_LOCATION "${OGG_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OGG_INCLUDE_DIR}")
  add_library(Vorbis::vorbis UNKNOWN IMPORTED)
  set_target_properties(Vorbis::vorbis PROPERTIES
    IMPORTED_LOCATION "${VORBIS_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${VORBIS_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "Ogg::ogg;$<$<NOT:$<PLATFORM_ID:Windows>>:m>")
  add_library(Vorbis::vorbisfile UNKNOWN IMPORTED)
  set_target_properties(Vorbis::vorbisfile PROPERTIES
    IMPORTED_LOCATION "${VORBISFILE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${VORBIS_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES Vorbis::vorbis)
endif()
