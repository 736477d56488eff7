# The sound effects and the tunes, synthesized by tools/make_sounds.cpp (over the synthesizer in
# engine/sound_synth.cpp) from data/sounds/sounds.txt and the scores in data/sounds/music.txt.
add_executable(brinkhop-makesounds tools/make_sounds.cpp)
target_link_libraries(brinkhop-makesounds PRIVATE brinkhop_synth)

# The parameter file names its own outputs; reading them here keeps the list in one place,
# at the cost of a re-configure when the file changes.
set(BRINKHOP_SOUND_PARAMETERS ${CMAKE_SOURCE_DIR}/data/sounds/sounds.txt
  ${CMAKE_SOURCE_DIR}/data/sounds/music.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRINKHOP_SOUND_PARAMETERS})
set(BRINKHOP_SOUND_FILES)
foreach(parameters IN LISTS BRINKHOP_SOUND_PARAMETERS)
  file(STRINGS ${parameters} brinkhop_sound_lines REGEX "^[ \t]*(sound|tune)[ \t]")
  foreach(line IN LISTS brinkhop_sound_lines)
    string(REGEX REPLACE "^[ \t]*(sound|tune)[ \t]+([^ \t]+).*$" "\\2" name "${line}")
    list(APPEND BRINKHOP_SOUND_FILES ${BRINKHOP_DATA_DIR}/${name})
  endforeach()
endforeach()

add_custom_command(OUTPUT ${BRINKHOP_SOUND_FILES}
  COMMAND brinkhop-makesounds ${BRINKHOP_DATA_DIR} ${BRINKHOP_SOUND_PARAMETERS}
  DEPENDS brinkhop-makesounds ${BRINKHOP_SOUND_PARAMETERS}
  COMMENT "Synthesizing the sound effects")
add_custom_target(brinkhop_sounds DEPENDS ${BRINKHOP_SOUND_FILES})
add_dependencies(brinkhop_data brinkhop_sounds)

target_sources(brinkhop_tests PRIVATE tests/engine/sound_synth_test.cpp)
target_link_libraries(brinkhop_tests PRIVATE brinkhop_synth)
target_compile_definitions(brinkhop_tests PRIVATE
  BRINKHOP_SOUNDS_DIR="${CMAKE_SOURCE_DIR}/data/sounds")
target_link_libraries(brinkhop_tests PRIVATE PkgConfig::SDL)
