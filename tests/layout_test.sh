#!/usr/bin/env bash
# The game never builds on tools/: no game folder includes a header from tools/, and the list of
# sources a build compiles into the game (CMake writes it; SOURCES) names no file under tools/.
# Exit 77 (skipped) when that build has not been configured.
set -u
sources=$1
status=0
if grep -rnE '^#include "tools/' app engine platform player units world; then
  echo "the game includes a header from tools/" >&2
  status=1
fi
if [ ! -f "$sources" ]; then
  echo "no list of the game's sources at $sources (that build is not configured)" >&2
  [ $status = 0 ] && exit 77
  exit $status
fi
if [ ! -s "$sources" ] || ! grep -q '^app/game.cpp$' "$sources"; then
  echo "$sources does not list the game's sources" >&2
  exit 1
fi
if grep -n '^tools/' "$sources"; then
  echo "a file from tools/ is compiled into the game ($sources)" >&2
  status=1
fi
exit $status
