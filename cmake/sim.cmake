# brinkhop-sim, the headless simulator: a command line over the simulator's frame driver
# (brinkhop_sim, app/sim.cpp) that the game, tests and benchmarks share.

# Its command line and the route finder's share the default data folder.
add_library(brinkhop_toolmain STATIC tools/tool_main.cpp)
target_link_libraries(brinkhop_toolmain PUBLIC brinkhop_core)

add_executable(brinkhop-sim tools/sim_main.cpp)
target_link_libraries(brinkhop-sim PRIVATE brinkhop_sim brinkhop_toolmain)
add_dependencies(brinkhop-sim brinkhop_data)

target_sources(brinkhop_tests PRIVATE tests/app/sim_test.cpp tests/app/far_column_test.cpp
  tests/support/scratch_data.cpp)
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
target_sources(brinkhop_tests PRIVATE tests/app/replay_test.cpp)

# The browser version in headless Chromium (tests/web), against this build's simulator and
# desktop game. `make test` builds the site into build-web/ and installs the test's npm
# packages first; without them the test reports itself skipped.
add_test(NAME web.page
  COMMAND bash -c "[ -f \"$0/index.html\" ] && [ -d \"$1/node_modules\" ] || exit 77; cd \"$1\" && shift && exec node web_test.mjs \"$@\""
          ${BRINKHOP_WEB_SITE} ${CMAKE_SOURCE_DIR}/tests/web
          ${BRINKHOP_WEB_SITE} $<TARGET_FILE:brinkhop-sim> ${CMAKE_SOURCE_DIR}/tests/replays
          ${CMAKE_SOURCE_DIR}/tests/web/desktop_start.sh $<TARGET_FILE:brinkhop>
          $<TARGET_FILE:brinkhop-close-window> ${BRINKHOP_DATA_DIR})
set_tests_properties(web.page PROPERTIES TIMEOUT 400 LABELS "web;e2e" RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
# The same site as a phone meets it: its bytes, install, offline play and a new build over it,
# silence while paused, thumbs in the black bars.
add_test(NAME web.phone
  COMMAND bash -c "[ -f \"$0/index.html\" ] && [ -d \"$1/node_modules\" ] || exit 77; cd \"$1\" && shift && exec node phone_test.mjs \"$@\""
          ${BRINKHOP_WEB_SITE} ${CMAKE_SOURCE_DIR}/tests/web
          ${BRINKHOP_WEB_SITE} $<TARGET_FILE:brinkhop-sim> ${CMAKE_SOURCE_DIR}/tests/replays
          ${CMAKE_SOURCE_DIR})
set_tests_properties(web.phone PROPERTIES TIMEOUT 400 LABELS "web;e2e" RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

# brinkhop-route, the route finder over the same simulation.
add_library(brinkhop_route STATIC tools/route.cpp)
target_link_libraries(brinkhop_route PUBLIC brinkhop_sim brinkhop_toolmain)
add_executable(brinkhop-route tools/route_main.cpp)
target_link_libraries(brinkhop-route PRIVATE brinkhop_route brinkhop_toolmain)
add_dependencies(brinkhop-route brinkhop_data)
target_sources(brinkhop_tests PRIVATE tests/tools/route_test.cpp)
target_link_libraries(brinkhop_tests PRIVATE brinkhop_route)
target_compile_definitions(brinkhop_tests PRIVATE BRINKHOP_ROUTE_PATH="$<TARGET_FILE:brinkhop-route>")
add_dependencies(brinkhop_tests brinkhop-route)
