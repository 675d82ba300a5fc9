# Shared helpers for the per-folder build files.

# kelp_library(<name> <sources...> [DEPS <libs...>])
# One static library per subsystem folder; headers are included from the repository root, and
# the generated "kelp2207/version.h" from the build tree. Installed, the headers are found
# through the include directories that cmake/install.cmake gives the exported targets.
function(kelp_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>)
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# kelp_test(<name> <sources...> [DEPS <libs...>] [ENV <VAR=value...>] [LAUNCHER <command...>])
# A GoogleTest program registered with CTest, one CTest entry per test case. LAUNCHER runs
# the program (discovery included) through a command, e.g. scripts/with-xvfb for a real X server.
function(kelp_test name)
  cmake_parse_arguments(ARG "" "" "DEPS;ENV;LAUNCHER" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KELP_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # The environment goes in front of the launcher through env(1): a list in the ENVIRONMENT
  # property does not survive the discovery script whole.
  set(launcher ${ARG_LAUNCHER})
  if(ARG_ENV)
    set(launcher env ${ARG_ENV} ${launcher})
  endif()
  if(launcher)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${launcher}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 TEST_PREFIX "${name}." PROPERTIES LABELS unit)
endfunction()
