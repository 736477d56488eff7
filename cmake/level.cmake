# The levels: brinkhop-level (build, dump, check, render), every data/levels/NAME.txt built into
# the game's file NAME (level.txt is the level play starts in; the others are reached through
# pipe warps), the tool's tests, its benchmark and a check of every shipped level.

# The level text and the renderer, shared by the tool, its tests and the benchmark.
add_library(brinkhop_leveltools STATIC tools/level_render.cpp)
target_link_libraries(brinkhop_leveltools PUBLIC brinkhop_leveltext)

add_executable(brinkhop-level tools/level_tool.cpp)
target_link_libraries(brinkhop-level PRIVATE brinkhop_leveltools)

set(BRINKHOP_LEVEL_SOURCE ${CMAKE_SOURCE_DIR}/data/levels/level.txt)
file(GLOB BRINKHOP_LEVEL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/levels/*.txt)
set(BRINKHOP_LEVEL_FILES)
foreach(source ${BRINKHOP_LEVEL_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_custom_command(OUTPUT ${BRINKHOP_DATA_DIR}/${name}
    COMMAND brinkhop-level build ${source} -o ${BRINKHOP_DATA_DIR}/${name}
    DEPENDS brinkhop-level ${source}
    COMMENT "Building the level ${name} from data/levels/${name}.txt")
  list(APPEND BRINKHOP_LEVEL_FILES ${BRINKHOP_DATA_DIR}/${name})
  add_test(NAME level.check.${name} COMMAND brinkhop-level check ${BRINKHOP_DATA_DIR}/${name})
endforeach()
add_custom_target(brinkhop_level DEPENDS ${BRINKHOP_LEVEL_FILES})
add_dependencies(brinkhop_data brinkhop_level)

target_sources(brinkhop_tests PRIVATE
  tests/world/level_text_test.cpp
  tests/world/level_file_test.cpp
)
target_link_libraries(brinkhop_tests PRIVATE brinkhop_leveltools)
# The command-line tests run the real tool.
target_compile_definitions(brinkhop_tests PRIVATE
  BRINKHOP_LEVEL_TOOL="$<TARGET_FILE:brinkhop-level>"
  BRINKHOP_LEVEL_SOURCE="${BRINKHOP_LEVEL_SOURCE}")
add_dependencies(brinkhop_tests brinkhop-level)

if(BRINKHOP_BENCHMARKS)
  add_executable(brinkhop_level_bench bench/level_bench.cpp)
  target_link_libraries(brinkhop_level_bench PRIVATE brinkhop_leveltools benchmark::benchmark_main)
endif()


# The level editor's page: its level model, undo and link packing under node, and the page
# itself in headless Chromium against this build's level tool (skipped without the site).
add_test(NAME web.editor_model COMMAND node ${CMAKE_SOURCE_DIR}/tests/web/editor_model_test.mjs)
set_tests_properties(web.editor_model PROPERTIES LABELS "web")
add_test(NAME web.editor
  COMMAND bash -c "[ -f \"$0/editor.html\" ] && [ -d \"$1/node_modules\" ] || exit 77; cd \"$1\" && shift && exec node editor_test.mjs \"$@\""
          ${BRINKHOP_WEB_SITE} ${CMAKE_SOURCE_DIR}/tests/web
          ${BRINKHOP_WEB_SITE} $<TARGET_FILE:brinkhop-level> ${BRINKHOP_DATA_DIR}/level)
set_tests_properties(web.editor PROPERTIES TIMEOUT 400 LABELS "web;e2e" RUN_SERIAL TRUE
  SKIP_RETURN_CODE 77)
