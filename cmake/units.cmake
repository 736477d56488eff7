# The units' tests (they join brinkhop_tests) and the benchmark of a frame full of units.
target_sources(brinkhop_tests PRIVATE
  tests/player/fireball_test.cpp
  tests/player/player_sim_test.cpp
  tests/units/unit_fixture.cpp
  tests/units/enemy_test.cpp
  tests/units/turtle_test.cpp
  tests/units/hazard_test.cpp
  tests/units/boss_test.cpp
  tests/units/unit_table_test.cpp
  tests/units/unit_sim_test.cpp
)

if(BRINKHOP_BENCHMARKS)
  add_executable(brinkhop_units_bench bench/units_bench.cpp)
  target_link_libraries(brinkhop_units_bench PRIVATE brinkhop_sim benchmark::benchmark_main)
endif()
