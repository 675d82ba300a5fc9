# The instrument table: the 13 sounds in data/instruments/, in table order, compiled into
# SAMPLE-layout records (data/instruments.h). They were made by tools/instruments.
kelp_build_tool(kelp_wavtable wavtable.cpp)

set(KELP_INSTRUMENT_FILES
  00-bass-a2.wav 01-kick.wav 02-snare.wav 03-hat.wav
  04-pluck-a3.wav 05-pluck-c4.wav 06-pluck-e4.wav
  07-marimba-d4.wav 08-marimba-g4.wav 09-marimba-a4.wav
  10-glock-c5.wav 11-glock-e5.wav 12-glock-g5.wav)
list(TRANSFORM KELP_INSTRUMENT_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/instruments/)

set(_out ${CMAKE_CURRENT_BINARY_DIR}/instrument_table.cpp)
add_custom_command(OUTPUT ${_out}
  COMMAND ${kelp_wavtable_command} ${_out} ${KELP_INSTRUMENT_FILES}
  DEPENDS ${kelp_wavtable_command} ${KELP_INSTRUMENT_FILES}
  COMMENT "Building the instrument table")
list(APPEND KELP_ASSETS ${_out})
