# The Windows build (cmake/windows-toolchain.cmake, `make windows`): the three programs as real
# Windows programs, and the zip a Windows user unzips and double-clicks.

# The C++ runtime and its threads linked in: beside the programs stands SDL.dll alone. SDL is
# linked through its import library (found by path), so it stays the separate DLL its licence
# asks for.
add_link_options(-static)
# Smaller programs: no debug information in what is shipped.
add_link_options($<$<NOT:$<CONFIG:Debug>>:-s>)

# What `make windows` makes (kelp_windows_zip), and the tests unzip.
set(KELP_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/kelp2207-${PROJECT_VERSION}-windows-x64.zip)
# Where SDL.dll is: the zip takes it from there, the tests run beside it.
get_filename_component(KELP_WINDOWS_SDL_BIN ${SDL_INCLUDE_DIR}/../../bin ABSOLUTE)

# kelp_windows_program(<target> <file description> [WINDOWED])
# The manifest (Windows 10 and 11, DPI aware) and the version resource; WINDOWED: a program of
# the desktop without a console window (its messages go to a message box as well).
function(kelp_windows_program target description)
  cmake_parse_arguments(ARG "WINDOWED" "" "" ${ARGN})
  set(KELP_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/kelp2207.manifest)
  set(KELP_DESCRIPTION ${description})
  set(KELP_FILENAME ${target}.exe)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/kelp2207.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${KELP_MANIFEST})
  if(ARG_WINDOWED)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
endfunction()

# The zip, made after every folder has added its programs: kelp2207-VERSION-windows-x64.zip.
function(kelp_windows_zip)
  get_filename_component(sdl_prefix ${KELP_WINDOWS_SDL_BIN} DIRECTORY)
  set(sdl_dll ${KELP_WINDOWS_SDL_BIN}/SDL.dll)
  foreach(file ${sdl_dll} ${sdl_prefix}/share/SDL-COPYING.txt ${sdl_prefix}/share/kelp2207-sdl-source.txt)
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "${file} is missing: the SDL folder was not made by scripts/windows-sdl")
    endif()
  endforeach()
  set(name kelp2207-${PROJECT_VERSION}-windows-x64)
  set(stage ${PROJECT_BINARY_DIR}/zip)
  set(zip ${KELP_WINDOWS_ZIP})
  # The texts with Windows line ends, for Notepad and friends.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in ${stage}/README.txt @ONLY NEWLINE_STYLE CRLF)
  # The font's licence for the glyphs in the pictures comes with LICENSE, as in the source.
  set(texts ${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt ${PROJECT_SOURCE_DIR}/packaging/copyright COPYRIGHT.txt
    ${sdl_prefix}/share/SDL-COPYING.txt SDL-COPYING.txt
    ${sdl_prefix}/share/kelp2207-sdl-source.txt SDL-SOURCE.txt)
  while(texts)
    list(POP_FRONT texts from to)
    file(READ ${from} content)
    string(REGEX REPLACE "\r?\n" "\r\n" content "${content}")
    file(WRITE ${stage}/${to} "${content}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${from})
  endwhile()
  set(files kelp2207.exe kelp2207fs.exe kelp2207-record.exe SDL.dll README.txt LICENSE.txt COPYRIGHT.txt
    SDL-COPYING.txt SDL-SOURCE.txt)
  # At the zip's top: Windows' "Extract all" makes the folder itself.
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kelp2207> $<TARGET_FILE:kelp2207fs>
            $<TARGET_FILE:kelp2207-record> ${sdl_dll} ${stage}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${files}
    DEPENDS kelp2207 kelp2207fs kelp2207-record ${sdl_dll} ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
    COMMENT "The zip: ${name}.zip")
  add_custom_target(kelp_windows_zip ALL DEPENDS ${zip})
endfunction()
