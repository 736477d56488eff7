#!/usr/bin/env bash
# The SDL 2 layer test (tests/platform/sdl_layer_test.cpp) in a private Xvfb, on the game's
# own data, with the no-display and no-GL checks of the real game beside it.
# Usage: sdl_layer_test.sh SDL-LAYER-TEST GAME DATA-DIR
source "$(dirname "$0")/lib.sh"
e2e_setup "$2" ""
# The game's pictures, so that what stops it is the missing display, not a bare data folder.
cp -r "$3"/. "$work/data"

BRINKHOP_TEST_DATA=$3 SDL_AUDIODRIVER=dummy "$1" || fail "the SDL layer test failed"

# Without a display the game says so in one line and ends at once with status 1.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy timeout 10 "$work/brinkhop" \
  >"$work/nodisplay.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "without a display the game ended with status $status"
[ "$(wc -l <"$work/nodisplay.log")" = 1 ] && grep -q "no display" "$work/nodisplay.log" ||
  fail "without a display the game said: $(cat "$work/nodisplay.log")"
echo "no display: one line, status 1: ok ($(cat "$work/nodisplay.log"))"

# A display without GL: the same.
Xvfb -displayfd 6 -screen 0 1280x1024x24 -nolisten tcp -noreset -extension GLX 6>"$work/display2" \
  2>/dev/null &
noglx_pid=$!
for _ in $(seq 100); do [ -s "$work/display2" ] && break; sleep 0.1; done
status=0
DISPLAY=":$(cat "$work/display2")" SDL_AUDIODRIVER=dummy timeout 10 "$work/brinkhop" \
  >"$work/nogl.log" 2>&1 || status=$?
kill "$noglx_pid" 2>/dev/null || true
[ "$status" = 1 ] || fail "without GL the game ended with status $status"
[ "$(wc -l <"$work/nogl.log")" = 1 ] && grep -q "no usable OpenGL" "$work/nogl.log" ||
  fail "without GL the game said: $(cat "$work/nogl.log")"
echo "no GL: one line, status 1: ok ($(cat "$work/nogl.log"))"
