# The browser build (Emscripten): `make web` and scripts/test-web configure it with Emscripten's
# toolchain. What differs from the desktop build is here and in if(EMSCRIPTEN) blocks.

# The site web/ makes, which tests/web opens in a browser.
set(KELP_SITE ${CMAKE_BINARY_DIR}/site)

# Emscripten's SDL 1.2 is JavaScript inside its runtime: headers, and a link option instead of
# a library.
find_path(KELP_EMSCRIPTEN_SDL_INCLUDE SDL.h PATH_SUFFIXES SDL REQUIRED)
add_library(SDL::SDL INTERFACE IMPORTED)
set_target_properties(SDL::SDL PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${KELP_EMSCRIPTEN_SDL_INCLUDE}"
  INTERFACE_LINK_OPTIONS "-sUSE_SDL=1")

# Debian's Emscripten finds its JavaScript parser (acorn) only through NODE_PATH when it
# optimises the JavaScript at -O2; the link goes through env so `cmake --build` alone works.
if(EXISTS /usr/share/nodejs/acorn)
  set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
endif()

# No debug information in the page; -O2 keeps the links short and the .wasm small.
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -DNDEBUG")

# Programs that run at build time (the asset embedding) or as tests run under node with the
# real file system.
function(kelp_node_program name)
  target_link_options(${name} PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node)
endfunction()
