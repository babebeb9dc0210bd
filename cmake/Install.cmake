# The framework as an installable package: headers, static libraries, a CMake package
# configuration exporting every library made by qrv_add_library as qrv::<name>, and a pkg-config
# file. Call qrv_install_framework() once, after every library folder has been added.
#
#   find_package(Zorvak REQUIRED COMPONENTS framework)   # or kaz2d_gl, pixmap, stream ...
#   target_link_libraries(app PRIVATE qrv::framework)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZORVAK_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Zorvak)

# The package behind an imported target's namespace, for find_package and for pkg-config.
function(_qrv_dependency_packages namespace cmake_out pkgconfig_out)
  set(pkgconfig "")
  if(namespace STREQUAL "SDL2")
    set(pkgconfig sdl2)
  elseif(namespace STREQUAL "PNG")
    set(pkgconfig libpng)
  elseif(namespace STREQUAL "JPEG")
    set(pkgconfig libjpeg)
  elseif(namespace STREQUAL "Freetype")
    set(pkgconfig freetype2)
  elseif(namespace STREQUAL "OpenGL")
    set(pkgconfig gl)
  elseif(namespace STREQUAL "ZLIB")
    set(pkgconfig zlib)
  elseif(namespace STREQUAL "Vorbis")
    set(pkgconfig vorbisfile)
  else()
    string(TOLOWER "${namespace}" pkgconfig)
  endif()
  set(${cmake_out} ${namespace} PARENT_SCOPE)
  set(${pkgconfig_out} ${pkgconfig} PARENT_SCOPE)
endfunction()

# The library's API: its umbrella header (api.h in its folder; framework.h for the framework,
# which includes every library's) and the headers of its folder that the umbrella includes. The
# other headers are internal and stay in the source tree.
function(_qrv_install_headers name)
  get_target_property(folder qrv_${name} QRV_FOLDER)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${folder})
  set(umbrella api.h)
  if(NOT EXISTS ${folder}/api.h)
    set(umbrella ${name}.h)
  endif()
  if(NOT EXISTS ${folder}/${umbrella})
    message(FATAL_ERROR "The library ${name} has no umbrella header ${relative}/api.h")
  endif()
  install(FILES ${folder}/${umbrella} DESTINATION ${ZORVAK_INSTALL_INCLUDEDIR}/${relative}
          COMPONENT framework)
  file(STRINGS ${folder}/${umbrella} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    cmake_path(GET header PARENT_PATH subfolder)
    string(FIND "${header}" "${relative}/" at)
    if(at EQUAL 0)
      install(FILES ${PROJECT_SOURCE_DIR}/${header}
              DESTINATION ${ZORVAK_INSTALL_INCLUDEDIR}/${subfolder} COMPONENT framework)
    endif()
  endforeach()
endfunction()

function(qrv_install_framework)
  get_property(all_libraries GLOBAL PROPERTY QRV_LIBRARIES)
  set(libraries "")
  foreach(name IN LISTS all_libraries)
    if(NOT name IN_LIST ZORVAK_NOT_INSTALLED)
      list(APPEND libraries ${name})
    endif()
  endforeach()

  set(cmake_packages "")
  set(pkgconfig_packages "")
  set(targets "")
  foreach(name IN LISTS libraries)
    list(APPEND targets qrv_${name})
    _qrv_install_headers(${name})
    get_target_property(links qrv_${name} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(link MATCHES "^([A-Za-z0-9_]+)::" AND NOT CMAKE_MATCH_1 STREQUAL "qrv")
        _qrv_dependency_packages(${CMAKE_MATCH_1} cmake_package pkgconfig_package)
        list(APPEND cmake_packages ${cmake_package})
        list(APPEND pkgconfig_packages ${pkgconfig_package})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES cmake_packages)
  list(REMOVE_DUPLICATES pkgconfig_packages)

  install(TARGETS ${targets} EXPORT ZorvakTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT framework
          INCLUDES DESTINATION ${ZORVAK_INSTALL_INCLUDEDIR})
  install(EXPORT ZorvakTargets NAMESPACE qrv:: DESTINATION ${ZORVAK_INSTALL_CMAKEDIR}
          COMPONENT framework)

  set(ZORVAK_DEPENDENCIES "${cmake_packages}")
  set(ZORVAK_COMPONENTS "${libraries}")
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZorvakConfig.cmake.in
    ${PROJECT_BINARY_DIR}/ZorvakConfig.cmake INSTALL_DESTINATION ${ZORVAK_INSTALL_CMAKEDIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZorvakConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/ZorvakConfig.cmake
                ${PROJECT_BINARY_DIR}/ZorvakConfigVersion.cmake
                ${PROJECT_SOURCE_DIR}/cmake/Embed.cmake
                ${PROJECT_SOURCE_DIR}/cmake/Findlibdeflate.cmake
                ${PROJECT_SOURCE_DIR}/cmake/FindVorbis.cmake
          DESTINATION ${ZORVAK_INSTALL_CMAKEDIR} COMPONENT framework)

  _qrv_write_pkgconfig("${libraries}" "${pkgconfig_packages}")
endfunction()

# zorvak.pc: the libraries in link order (a library before those it uses, which is the reverse
# of the order they were made in), the packages they need, and a prefix found from the file's
# own place, so that the install can be moved.
function(_qrv_write_pkgconfig libraries packages)
  set(libs "")
  foreach(name IN LISTS libraries)
    string(PREPEND libs "-lqrv_${name} ")
  endforeach()
  if(ZORVAK_SANITIZE)
    string(APPEND libs "-fsanitize=address,undefined")
  endif()
  string(STRIP "${libs}" libs)
  list(JOIN packages " " requires)

  set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  set(up "")
  string(REPLACE "/" ";" parts "${pkgconfig_dir}")
  foreach(part IN LISTS parts)
    string(APPEND up "/..")
  endforeach()

  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/zorvak.pc CONTENT
"prefix=\${pcfiledir}${up}
libdir=\${prefix}/${CMAKE_INSTALL_LIBDIR}
includedir=\${prefix}/${ZORVAK_INSTALL_INCLUDEDIR}

Name: Zorvak
Description: 2D framework: streams with URL protocols, pixmaps, fonts, OpenGL drawing, input
Version: ${PROJECT_VERSION}
Requires: ${requires}
Libs: -L\${libdir} ${libs}
Cflags: -I\${includedir}
")
  install(FILES ${PROJECT_BINARY_DIR}/zorvak.pc DESTINATION ${pkgconfig_dir} COMPONENT framework)
endfunction()
