# The game's pictures, drawn by tools/make_art.cpp from the text sources in data/art.
add_executable(brinkhop-makeart tools/make_art.cpp tools/art_source.cpp)
target_include_directories(brinkhop-makeart PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(brinkhop-makeart PRIVATE PkgConfig::STB)

# Read in this order: later files stamp pictures made by earlier ones.
set(BRINKHOP_ART_SOURCES
  data/art/palette.txt
  data/art/blocks.txt
  data/art/decorations.txt
  data/art/hero.txt
  data/art/enemies.txt
  data/art/hazards.txt
  data/art/items.txt
  data/art/flags.txt
  data/art/screens.txt
  data/art/backdrops.txt
  data/art/hud.txt
  data/art/walkways.txt
  data/art/pipes.txt
  data/art/boss.txt
  data/art/marks.txt
  data/art/icons.txt
)
set(BRINKHOP_ART_PICTURES
  BG.png blume1.png blume2.png bonus1.png bonus2.png bonus3.png bonus4.png bonus5.png
  bonus6.png box.png boxempty.png brett.png cannon.png cannon_bulletl.png cannon_bulletr.png
  coin1.png coin2.png coin3.png coin4.png control.png crawler1.png crawler2.png crawler3.png
  deco1.png deco2.png deco3.png deco4.png deco5.png deco6.png deco7.png fire.png fire1.png fire2.png
  fire3.png fire4.png fly1.png fly2.png hammer.png invisible.png player1.png player2.png
  player3.png shell1.png shell2.png shell3.png shell4.png smallstone.png social.png
  spiky1.png spiky2.png stone.png tile.png tile1.png tile2.png tile3.png tile4.png
  turtle1.png turtle2.png
  backdrop_sky.png backdrop_clouds.png backdrop_far.png backdrop_near.png backdrop_cave.png
  backdrop_castle.png speaker_on.png speaker_off.png flag_down.png flag_up.png
  walkwayl1.png walkwayl2.png walkwayl3.png walkwayl4.png
  walkwayr1.png walkwayr2.png walkwayr3.png walkwayr4.png
  pipe_green.png pipe_green_body.png pipe_orange.png pipe_orange_body.png
  pipe_blue.png pipe_blue_body.png pipe_green_side.png pipe_green_side_body.png
  boss1.png boss2.png boss_hurt.png goal.png death_marker.png tell_crack.png results_panel.png
  icon-192.png icon-512.png icon-maskable.png
)
list(TRANSFORM BRINKHOP_ART_PICTURES PREPEND ${BRINKHOP_DATA_DIR}/ OUTPUT_VARIABLE art_outputs)
list(TRANSFORM BRINKHOP_ART_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE art_inputs)
add_custom_command(OUTPUT ${art_outputs}
  COMMAND brinkhop-makeart ${BRINKHOP_DATA_DIR} ${art_inputs}
  DEPENDS brinkhop-makeart ${art_inputs}
  COMMENT "Drawing the game's pictures")
add_custom_target(brinkhop_art DEPENDS ${art_outputs})
add_dependencies(brinkhop_data brinkhop_art)

# The tests read the same sources and check the pictures against what the game relies on.
target_sources(brinkhop_tests PRIVATE tests/tools/art_source_test.cpp tools/art_source.cpp)
# (Joined with commas: a semicolon would split the definition.)
list(JOIN art_inputs "," art_source_list)
target_compile_definitions(brinkhop_tests PRIVATE BRINKHOP_ART_SOURCES="${art_source_list}")
