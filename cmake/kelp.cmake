# Shared helpers for the per-folder build files.

# Python is Debian's (scripts/install-deps installs it), found before whatever stands first on
# PATH: a version manager's shim there adds a third of a second of work to every test's start.
if(NOT Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()

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

# GoogleTest from Debian's sources, built with the build's own compiler, for the builds that
# cannot link the system's (the browser's, Windows'): it names the same GTest:: targets.
function(kelp_source_gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Unoptimised, as the tests' own code: the optimiser takes longer than the tests run.
  target_compile_options(gtest PRIVATE -w -O0)
  target_compile_options(gtest_main PRIVATE -w -O0)
endfunction()

# kelp_test(<name> <sources...> [DEPS <libs...>] [ENV <VAR=value...>] [LAUNCHER <command...>])
# A GoogleTest program registered with CTest, one CTest entry per test case, labelled unit: the
# quick loop (`make check`) runs them. The cases are listed when the tests run, not after every
# link. LAUNCHER runs the program (listing included) through a command.
function(kelp_test name)
  if(NOT KELP_UNIT_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS;ENV;LAUNCHER" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KELP_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # The test code itself unoptimised: its assertion macros take the optimiser four to five times
  # as long as they take to run, and the code under test keeps the build's own optimisation.
  target_compile_options(${name} PRIVATE -O0)
  # A test program's files are compiled as one: GoogleTest's templates are instantiated once a
  # program, not once a file. Each file's fixtures stay in its own anonymous namespace, which
  # GCC would otherwise report as if they came from a header.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  if(NOT EMSCRIPTEN)
    # GoogleTest's headers are parsed once for all the test programs.
    if(NOT TARGET kelp_test_pch)
      file(WRITE ${PROJECT_BINARY_DIR}/kelp_test_pch.cpp "")
      add_library(kelp_test_pch OBJECT ${PROJECT_BINARY_DIR}/kelp_test_pch.cpp)
      target_link_libraries(kelp_test_pch PRIVATE GTest::gtest)
      target_compile_options(kelp_test_pch PRIVATE -O0)
      target_precompile_headers(kelp_test_pch PRIVATE <gtest/gtest.h>)
    endif()
    target_precompile_headers(${name} REUSE_FROM kelp_test_pch)
  endif()
  if(EMSCRIPTEN OR WIN32)
    # On wasm32 under node, on Windows under Wine: one run of the whole program, its cases
    # shuffled; discovering the cases would start node or Wine once more for each.
    if(EMSCRIPTEN)
      kelp_node_program(${name})
      # Linked without the whole-program optimiser, which takes longer than the tests run.
      target_link_options(${name} PRIVATE -O0)
    endif()
    if(ARG_ENV)
      set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;${ARG_ENV};${CMAKE_CROSSCOMPILING_EMULATOR}")
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_shuffle)
    set_tests_properties(${name} PROPERTIES LABELS unit)
    return()
  endif()
  # The environment goes in front of the launcher through env(1): a list in the ENVIRONMENT
  # property does not survive the discovery script whole.
  set(launcher ${ARG_LAUNCHER})
  if(ARG_ENV)
    set(launcher env ${ARG_ENV} ${launcher})
  endif()
  if(launcher)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${launcher}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_PREFIX "${name}."
    PROPERTIES LABELS unit)
  # The whole program once more, its cases in a random order in one process: a case that leans
  # on what another left behind fails here, where one process a case would hide it.
  add_test(NAME ${name}.shuffled COMMAND ${launcher} $<TARGET_FILE:${name}> --gtest_shuffle)
  set_tests_properties(${name}.shuffled PROPERTIES LABELS shuffled)
endfunction()

# kelp_python_tests(<prefix> LABEL <label> [ENV <VAR=value...>])
# Registers every case of the folder's test_*.py files as its own CTest entry <prefix>.<Class>.<case>,
# so a failure names the case.
function(kelp_python_tests prefix)
  cmake_parse_arguments(ARG "" "LABEL" "ENV" ${ARGN})
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB files CONFIGURE_DEPENDS ${folder}/*.py)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${files})
  execute_process(COMMAND ${Python3_EXECUTABLE} -B ${PROJECT_SOURCE_DIR}/tests/list_cases.py ${folder}
    OUTPUT_VARIABLE cases RESULT_VARIABLE listed)
  if(NOT listed EQUAL 0 OR NOT cases)
    message(FATAL_ERROR "tests/list_cases.py found no test cases in ${folder}")
  endif()
  string(REPLACE "\n" ";" cases "${cases}")
  foreach(entry ${cases})
    if(NOT entry)
      continue()
    endif()
    separate_arguments(entry UNIX_COMMAND "${entry}")
    list(GET entry 0 file)
    list(GET entry 1 case)
    string(REPLACE "test_" "" short "${case}")
    add_test(NAME ${prefix}.${short} COMMAND ${Python3_EXECUTABLE} -B ${folder}/${file} ${case})
    set_tests_properties(${prefix}.${short} PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 900 ENVIRONMENT "${ARG_ENV}")
  endforeach()
endfunction()
