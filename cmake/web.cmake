# The browser build, configured with emcmake: the game's libraries (declared in CMakeLists.txt),
# the browser device, and a static site in BRINKHOP_WEB_SITE (index.html, page.js, brinkhop.js,
# brinkhop.wasm, brinkhop.data, the levels, and what installs it and keeps it offline:
# manifest.webmanifest, the icons and sw.js). Pictures, icons and levels come from a native
# build's data folder (BRINKHOP_NATIVE_DATA), made by the same generators; the sounds travel as
# their parameters; the levels, 8 MB of almost nothing each, travel gzipped and the page
# inflates them after the start screen shows.

set(BRINKHOP_NATIVE_DATA "" CACHE PATH "The data folder of a native build (build/data)")
set(BRINKHOP_WEB_SITE ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the static site goes")
if(NOT EXISTS "${BRINKHOP_NATIVE_DATA}/BG.png")
  message(FATAL_ERROR "BRINKHOP_NATIVE_DATA must name a native build's data folder (make web "
                      "builds one first); '${BRINKHOP_NATIVE_DATA}' has no BG.png")
endif()
file(MAKE_DIRECTORY ${BRINKHOP_WEB_SITE})

set(CMAKE_EXECUTABLE_SUFFIX .js)

# What the page downloads besides code: the pictures and sounds under /data, and every level
# gzipped (levels/NAME.gz; the page writes it inflated to /data/NAME).
set(web_pack ${CMAKE_BINARY_DIR}/pack)
file(GLOB web_level_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/levels/*.txt)
set(web_levels)
set(web_level_files)
foreach(source ${web_level_sources})
  get_filename_component(name ${source} NAME_WE)
  list(APPEND web_levels "'${name}'")
  list(APPEND web_level_files ${BRINKHOP_WEB_SITE}/levels/${name}.gz)
  add_custom_command(OUTPUT ${BRINKHOP_WEB_SITE}/levels/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BRINKHOP_WEB_SITE}/levels
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${BRINKHOP_NATIVE_DATA}/${name}
            ${BRINKHOP_WEB_SITE}/levels/${name}.gz
    DEPENDS ${BRINKHOP_NATIVE_DATA}/${name}
    COMMENT "Compressing the level ${name}"
    VERBATIM)
endforeach()
list(JOIN web_levels ", " BRINKHOP_WEB_LEVELS)
add_custom_command(OUTPUT ${web_pack}/stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${web_pack}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${web_pack}
  COMMAND sh -c "cp \"$1\"/*.png \"$2\"/ && rm -f \"$2\"/icon-*.png" sh ${BRINKHOP_NATIVE_DATA} ${web_pack}
  # The sounds and tunes are megabytes of samples, far past the page's budget: the page makes
  # them from their parameters and scores with the game's own synthesizer instead.
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/sounds/sounds.txt
          ${CMAKE_SOURCE_DIR}/data/sounds/music.txt ${web_pack}/
  COMMAND ${CMAKE_COMMAND} -E touch ${web_pack}/stamp
  DEPENDS ${BRINKHOP_NATIVE_DATA}/BG.png ${CMAKE_SOURCE_DIR}/data/sounds/sounds.txt
          ${CMAKE_SOURCE_DIR}/data/sounds/music.txt
  COMMENT "Gathering the pictures and sounds for the page"
  VERBATIM)

# The home screen's icons beside the page, drawn by the native build from the game's pixel art.
set(web_icons icon-192.png icon-512.png icon-maskable.png)
set(web_icon_files)
foreach(icon ${web_icons})
  add_custom_command(OUTPUT ${BRINKHOP_WEB_SITE}/${icon}
    COMMAND ${CMAKE_COMMAND} -E copy ${BRINKHOP_NATIVE_DATA}/${icon} ${BRINKHOP_WEB_SITE}/${icon}
    DEPENDS ${BRINKHOP_NATIVE_DATA}/${icon}
    VERBATIM)
  list(APPEND web_icon_files ${BRINKHOP_WEB_SITE}/${icon})
endforeach()
add_custom_target(brinkhop_web_pack DEPENDS ${web_pack}/stamp ${web_level_files} ${web_icon_files})

add_executable(brinkhop
  app/browser_main.cpp
  platform/browser.cpp
  platform/browser_audio.cpp
  platform/browser_gl.cpp
  platform/browser_image.cpp
)
# The same libraries the desktop game links, declared once in CMakeLists.txt.
target_link_libraries(brinkhop PRIVATE brinkhop_sim brinkhop_leveltext brinkhop_synth)
add_dependencies(brinkhop brinkhop_web_pack)
set_target_properties(brinkhop PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${BRINKHOP_WEB_SITE}
  LINK_DEPENDS ${web_pack}/stamp)
# The game runs a pass per animation frame, called back by the browser (nothing waits), and
# its GL seam speaks WebGL itself (platform/browser_gl.cpp): no Asyncify, no GL emulation.
set(web_link_options
  -Oz
  -sMALLOC=emmalloc
  -sMIN_WEBGL_VERSION=1
  -sMAX_WEBGL_VERSION=1
  -sALLOW_MEMORY_GROWTH
  -sINITIAL_MEMORY=64MB
  -sENVIRONMENT=web
  -sEXIT_RUNTIME=0
  "-sEXPORTED_FUNCTIONS=['_main','_brinkhop_trace','_brinkhop_frame','_brinkhop_random_sequence']"
  "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString','FS']"
  --preload-file ${web_pack}@/data
  --exclude-file ${web_pack}/stamp
)
target_link_options(brinkhop PRIVATE ${web_link_options})

# The page's script, the manifest, and the replays the page can play with ?replay=.
configure_file(${CMAKE_SOURCE_DIR}/web/page.js ${BRINKHOP_WEB_SITE}/page.js @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/web/manifest.webmanifest
  ${BRINKHOP_WEB_SITE}/manifest.webmanifest COPYONLY)
file(GLOB web_replays CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/replays/*.txt)
file(COPY ${web_replays} DESTINATION ${BRINKHOP_WEB_SITE}/replays)

# Last, once every file is in place: the build's name from its files, the page that asks for
# them by that name, and the service worker that keeps them (cmake/web_offline.cmake).
add_custom_target(brinkhop_offline ALL
  COMMAND ${CMAKE_COMMAND} -DSITE=${BRINKHOP_WEB_SITE}
          -DPAGE_TEMPLATE=${CMAKE_SOURCE_DIR}/web/index.html
          -DWORKER_TEMPLATE=${CMAKE_SOURCE_DIR}/web/sw.js
          -P ${CMAKE_SOURCE_DIR}/cmake/web_offline.cmake
  COMMENT "Naming the build and listing its files for offline play"
  VERBATIM)
add_dependencies(brinkhop_offline brinkhop brinkhop_web_pack brinkhop_minimal)

# The smallest page the same toolchain makes: a GL context and one cleared frame. The first
# frame benchmark measures the game's page beside it.
add_executable(brinkhop_minimal bench/web/minimal.cpp)
set_target_properties(brinkhop_minimal PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${BRINKHOP_WEB_SITE}/bench OUTPUT_NAME minimal)
target_link_options(brinkhop_minimal PRIVATE -sENVIRONMENT=web -sMIN_WEBGL_VERSION=1
  -sMAX_WEBGL_VERSION=1)
configure_file(${CMAKE_SOURCE_DIR}/bench/web/minimal.html ${BRINKHOP_WEB_SITE}/bench/minimal.html
  COPYONLY)
include(cmake/editor.cmake)
