# What `cmake --install` puts where. The `toolbox` component: the static libraries, their
# public headers, a CMake package and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The toolbox: every library a caller of pictures, grey maps, samples, lists and text needs.
# The platform layer stays out: it is the demo's one window and its signals, tied to the mode
# constant each program links, and it would drag SDL and X11 into every caller's link.
set(KELP_TOOLBOX support data raster img bytemap text sound)
# The headers of the libraries' interfaces, by folder. raster/ is shared code inside img and
# bytemap (none of these includes it); data/'s embedded assets are the demo's own.
set(KELP_HEADERS_support list.h text.h random.h)
set(KELP_HEADERS_data sine.h)
set(KELP_HEADERS_img img.h)
set(KELP_HEADERS_bytemap bytemap.h)
set(KELP_HEADERS_text cursor.h font.h scroll.h)
set(KELP_HEADERS_sound sample.h music.h palette.h)

set(KELP_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KELP2207)

# Installed, the headers name one another "kelp2207/img/img.h" (cmake/installed-header.cmake
# rewrites them when the build runs), so callers need only include/ on their path and write
# <kelp2207/img/img.h>.
set(staged_headers "")
foreach(name ${KELP_TOOLBOX})
  set_target_properties(kelp_${name} PROPERTIES EXPORT_NAME ${name})
  foreach(header ${KELP_HEADERS_${name}})
    set(staged ${PROJECT_BINARY_DIR}/installed-headers/kelp2207/${name}/${header})
    add_custom_command(OUTPUT ${staged}
      COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/${name}/${header} -DOUT=${staged}
        -P ${PROJECT_SOURCE_DIR}/cmake/installed-header.cmake
      DEPENDS ${name}/${header} cmake/installed-header.cmake)
    list(APPEND staged_headers ${staged})
    install(FILES ${staged} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelp2207/${name} COMPONENT toolbox)
  endforeach()
endforeach()
add_custom_target(kelp_installed_headers ALL DEPENDS ${staged_headers})
list(TRANSFORM KELP_TOOLBOX PREPEND kelp_ OUTPUT_VARIABLE toolbox_targets)
install(TARGETS ${toolbox_targets} EXPORT KELP2207Targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT toolbox
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_BINARY_DIR}/include/kelp2207/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelp2207 COMPONENT toolbox)

install(EXPORT KELP2207Targets NAMESPACE KELP2207:: DESTINATION ${KELP_CMAKE_DIR} COMPONENT toolbox)
configure_package_config_file(cmake/KELP2207Config.cmake.in ${PROJECT_BINARY_DIR}/KELP2207Config.cmake
  INSTALL_DESTINATION ${KELP_CMAKE_DIR})
# 0.x: a new minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KELP2207ConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KELP2207Config.cmake ${PROJECT_BINARY_DIR}/KELP2207ConfigVersion.cmake
  DESTINATION ${KELP_CMAKE_DIR} COMPONENT toolbox)

# The .pc file finds its prefix from where it lies, so `cmake --install --prefix` may move it.
file(RELATIVE_PATH KELP_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" KELP_PC_TO_PREFIX "${KELP_PC_TO_PREFIX}")
configure_file(cmake/kelp2207.pc.in ${PROJECT_BINARY_DIR}/kelp2207.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelp2207.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT toolbox)
