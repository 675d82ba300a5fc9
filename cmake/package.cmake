# The Debian packages `make deb` makes with CPack, split as Debian splits a program from a
# library's development files: kelp2207 (the `demo` component) and libkelp2207-dev (`toolbox`).
set(KELP_PACKAGE_MAINTAINER "KELP2207 developers <kelp2207@example.org>" CACHE STRING
  "Maintainer of the Debian packages, as Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelp2207)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo toolbox)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KELP_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts a summary other than its own default in front of every package's description;
# with the default, each package's first line below is its own synopsis.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME kelp2207)
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION x11)
# dpkg-shlibdeps names the SDL 1.2 runtime (libsdl1.2debian, which sdl12-compat's shim
# package also provides), never its -dev package.
set(CPACK_DEBIAN_DEMO_PACKAGE_SHLIBDEPS ON)
if(TARGET kelp2207-record)
  set(CPACK_DEBIAN_DEMO_PACKAGE_SUGGESTS ffmpeg) # the recorder's video outputs
endif()
set(CPACK_COMPONENT_DEMO_DESCRIPTION "small real-time audiovisual demo
KELP2207 plays four software-rendered parts for ever, in a 256x256 window
or on the whole screen: a turning badge under a floating logo with a text
scroller, bursts of ray stars, glows fading through a hidden mosaic, and a
wobbling tunnel of shaded rectangles, while it composes its own music from
13 instrument sounds.")

set(CPACK_DEBIAN_TOOLBOX_PACKAGE_NAME libkelp2207-dev)
set(CPACK_DEBIAN_TOOLBOX_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_TOOLBOX_DESCRIPTION "toolbox of the KELP2207 demo - static libraries and headers
The pictures, grey maps, sample buffers, lists and text of the KELP2207
demo as static C++ libraries: Netpbm reading and writing, compositing,
scaling and rotation, fonts and scrollers, sample buffers with their signal
operations, and colour palettes. It comes with a CMake package
(find_package(KELP2207)) and a pkg-config file (kelp2207).")

# Debian packages carry the licence in packaging/copyright; generators whose installers show one
# (a self-extracting archive, say) show LICENSE rather than CPack's placeholder text.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# What Debian wants of every package and CPack does not do (cmake/debian-files.cmake).
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
set(CPACK_KELP_COPYRIGHT ${PROJECT_SOURCE_DIR}/packaging/copyright)
set(CPACK_KELP_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog)
set(CPACK_KELP_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian-files.cmake)

include(CPack)
