# font.png, drawn by tools/make_font.cpp.
add_executable(brinkhop-makefont tools/make_font.cpp)
target_link_libraries(brinkhop-makefont PRIVATE PkgConfig::STB m)
add_custom_command(OUTPUT ${BRINKHOP_DATA_DIR}/font.png
  COMMAND brinkhop-makefont ${BRINKHOP_DATA_DIR}/font.png
  DEPENDS brinkhop-makefont
  COMMENT "Drawing font.png")
add_custom_target(brinkhop_font DEPENDS ${BRINKHOP_DATA_DIR}/font.png)
add_dependencies(brinkhop_data brinkhop_font)
