# The level editor's page (editor.html, editor.js and its script) and the editor's code: the
# level compiler, writer and checks as the tools build them, without the game, the screen or
# a main loop. index.html loads it too, to open a shared level.
add_executable(brinkhop_editor app/browser_editor.cpp)
target_link_libraries(brinkhop_editor PRIVATE brinkhop_leveltext)
set_target_properties(brinkhop_editor PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${BRINKHOP_WEB_SITE} OUTPUT_NAME editor_code)
target_link_options(brinkhop_editor PRIVATE
  -sMODULARIZE
  -sEXPORT_NAME=BrinkhopEditorCode
  -sALLOW_MEMORY_GROWTH
  -sINITIAL_MEMORY=64MB
  -sENVIRONMENT=web
  "-sEXPORTED_FUNCTIONS=['_malloc','_free','_editor_build','_editor_bytes','_editor_bytes_size','_editor_text','_editor_write','_editor_check','_editor_tables']"
  "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString','stringToUTF8','HEAPU8']"
)
foreach(file editor.html level_model.js share.js shared_level.js)
  configure_file(${CMAKE_SOURCE_DIR}/web/${file} ${BRINKHOP_WEB_SITE}/${file} COPYONLY)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/web/editor.js ${BRINKHOP_WEB_SITE}/editor.js @ONLY)

# The editor draws with the game's pictures, each its own file beside the page.
add_custom_command(OUTPUT ${BRINKHOP_WEB_SITE}/pictures/stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${BRINKHOP_WEB_SITE}/pictures
  COMMAND sh -c "cp \"$1\"/*.png \"$2\"/ && rm -f \"$2\"/icon-*.png" sh ${BRINKHOP_NATIVE_DATA} ${BRINKHOP_WEB_SITE}/pictures
  COMMAND ${CMAKE_COMMAND} -E touch ${BRINKHOP_WEB_SITE}/pictures/stamp
  DEPENDS ${BRINKHOP_NATIVE_DATA}/BG.png
  COMMENT "Copying the pictures for the editor"
  VERBATIM)
add_custom_target(brinkhop_editor_pictures ALL DEPENDS ${BRINKHOP_WEB_SITE}/pictures/stamp)
