# Run by the browser build once the site is complete (cmake -P): names the build by a hash of
# the files a player downloads, writes the page with that name in its files' addresses, and the
# service worker with the list of files it keeps for offline play.
# -DSITE=... -DPAGE_TEMPLATE=web/index.html -DWORKER_TEMPLATE=web/sw.js

file(GLOB_RECURSE site_files RELATIVE ${SITE} ${SITE}/*)
list(SORT site_files)
set(kept)
set(fingerprint "")
file(SHA256 ${PAGE_TEMPLATE} page_hash)
string(APPEND fingerprint "index.html ${page_hash}\n")
foreach(name IN LISTS site_files)
  # The build's own folders and the two files written here are not part of what is kept.
  if(name MATCHES "^(cmake|bench)/" OR name STREQUAL "index.html" OR name STREQUAL "sw.js")
    continue()
  endif()
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND fingerprint "${name} ${hash}\n")
  list(APPEND kept ${name})
endforeach()
string(SHA256 version "${fingerprint}")
string(SUBSTRING ${version} 0 16 BRINKHOP_WEB_VERSION)

# The page asks for its code and levels with ?v=VERSION; the browser asks for the manifest and
# icons, and a replay's address is the one the player gives, so those are kept as they are.
set(entries "'./'")
foreach(name IN LISTS kept)
  if(name MATCHES "^(page\\.js|brinkhop\\.js|brinkhop\\.wasm|brinkhop\\.data|levels/.*)$")
    string(APPEND entries ", '${name}?v=${BRINKHOP_WEB_VERSION}'")
  else()
    string(APPEND entries ", '${name}'")
  endif()
endforeach()
set(BRINKHOP_WEB_FILES "${entries}")
configure_file(${PAGE_TEMPLATE} ${SITE}/index.html @ONLY)
configure_file(${WORKER_TEMPLATE} ${SITE}/sw.js @ONLY)
