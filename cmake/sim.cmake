# brinkhop-sim, the headless simulator, over the brinkhop_sim library that the game, tests and
# benchmarks share.

add_executable(brinkhop-sim tools/sim_main.cpp)
target_link_libraries(brinkhop-sim PRIVATE brinkhop_sim)
add_dependencies(brinkhop-sim brinkhop_data)

target_sources(brinkhop_tests PRIVATE tests/tools/sim_test.cpp)
target_link_libraries(brinkhop_tests PRIVATE brinkhop_sim)
target_compile_definitions(brinkhop_tests PRIVATE
  BRINKHOP_SIM_PATH="$<TARGET_FILE:brinkhop-sim>"
  BRINKHOP_REPLAYS="${CMAKE_SOURCE_DIR}/tests/replays")
# Replays play the shipped levels.
add_dependencies(brinkhop_tests brinkhop_data)

if(BRINKHOP_BENCHMARKS)
  add_executable(brinkhop_sim_bench bench/sim_bench.cpp)
  target_link_libraries(brinkhop_sim_bench PRIVATE brinkhop_sim benchmark::benchmark_main)
  add_dependencies(brinkhop_sim_bench brinkhop_data)
endif()
target_sources(brinkhop_tests PRIVATE tests/tools/replay_test.cpp)
