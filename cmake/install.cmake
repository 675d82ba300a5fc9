# What `cmake --install` puts where. Two components: `demo` (the programs, their desktop entry,
# icons and manual pages) and `toolbox` (the static libraries, their public headers, a CMake
# package and a pkg-config file). cmake/package.cmake makes a Debian package of each.
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

# The desktop side has no meaning in a browser build.
if(EMSCRIPTEN)
  return()
endif()

set(programs kelp2207 kelp2207fs)
if(TARGET kelp2207-record)
  list(APPEND programs kelp2207-record)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
install(FILES packaging/kelp2207.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT demo)

configure_file(packaging/kelp2207.6.in ${PROJECT_BINARY_DIR}/packaging/kelp2207.6 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/kelp2207.6 packaging/kelp2207fs.6
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT demo)
if(TARGET kelp2207-record)
  configure_file(packaging/kelp2207-record.1.in ${PROJECT_BINARY_DIR}/packaging/kelp2207-record.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kelp2207-record.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT demo)
endif()

# The icons are the show's badge, scaled when the program is built.
find_package(ZLIB REQUIRED)
add_executable(kelp_icon packaging/icon.cpp)
target_link_libraries(kelp_icon PRIVATE kelp_img ZLIB::ZLIB)
set(icons "")
foreach(size 16 32 48 64 128 256)
  set(icon ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}/apps/kelp2207.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/icons/${size}x${size}/apps
    COMMAND kelp_icon ${PROJECT_SOURCE_DIR}/data/badge.ppm ${size} ${icon}
    DEPENDS kelp_icon ${PROJECT_SOURCE_DIR}/data/badge.ppm
    COMMENT "Making the ${size}x${size} icon")
  list(APPEND icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT demo)
endforeach()
add_custom_target(kelp_icons ALL DEPENDS ${icons})

include(cmake/package.cmake)
