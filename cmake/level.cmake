# The level: brinkhop-level (build, dump, check, render), the shipped level built from its
# source text data/levels/level.txt, the tool's tests, its benchmark and the check of the level.

# The level text and the renderer, shared by the tool, its tests and the benchmark.
add_library(brinkhop_leveltools STATIC tools/level_text.cpp tools/level_render.cpp)
target_link_libraries(brinkhop_leveltools PUBLIC brinkhop_core)

add_executable(brinkhop-level tools/level_tool.cpp)
target_link_libraries(brinkhop-level PRIVATE brinkhop_leveltools)

set(BRINKHOP_LEVEL_SOURCE ${CMAKE_SOURCE_DIR}/data/levels/level.txt)
add_custom_command(OUTPUT ${BRINKHOP_DATA_DIR}/level
  COMMAND brinkhop-level build ${BRINKHOP_LEVEL_SOURCE} -o ${BRINKHOP_DATA_DIR}/level
  DEPENDS brinkhop-level ${BRINKHOP_LEVEL_SOURCE}
  COMMENT "Building the level from data/levels/level.txt")
add_custom_target(brinkhop_level DEPENDS ${BRINKHOP_DATA_DIR}/level)
add_dependencies(brinkhop_data brinkhop_level)

target_sources(brinkhop_tests PRIVATE
  tests/tools/level_text_test.cpp
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

add_test(NAME level.check COMMAND brinkhop-level check ${BRINKHOP_DATA_DIR}/level)
