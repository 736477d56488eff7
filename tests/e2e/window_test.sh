#!/usr/bin/env bash
# The real game in a real window under Xvfb, as a player starts it: a landscape window of
# 960 x 640 showing the start screen upright, a click on the start button, then the frame's
# heads-up display upright; a wider window keeps the 3:2 picture between black bars; closing
# the window ends the game with exit status 0.
# Usage: window_test.sh GAME CLOSE-WINDOW-TOOL
set -euo pipefail

game=$1
closer=$2
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/game.log" ] && sed 's/^/game: /' "$work/game.log" >&2
  exit 1
}

# The game beside a data folder of our own, so we know exactly what it should show. In the
# test font every glyph cell has its top-left 8 x 8 quarter opaque red and the rest clear, so
# each character lights one corner of its cell: a turned or mirrored picture cannot pass.
cp "$game" "$work/brinkhop"
mkdir "$work/data"
draw=""
for c in $(seq 0 94); do draw="$draw rectangle $((c * 16)),0 $((c * 16 + 7)),7"; done
convert -size 1520x16 xc:none -fill '#FF0000' -draw "$draw" "PNG32:$work/data/font.png"
# The start screen's picture: its top-left quarter red, the rest blue.
convert -size 480x320 xc:'#0000FF' -fill '#FF0000' -draw 'rectangle 0,0 239,159' \
  "PNG32:$work/data/BG.png"

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

SDL_AUDIODRIVER=dummy "$work/brinkhop" >"$work/game.log" 2>&1 &
game_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Brinkhop$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window captioned Brinkhop"
sleep 1

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "$width" = 960 ] && [ "$height" = 640 ] || fail "window is ${width}x${height}, not 960x640"

pixel() {  # FILE X Y -> #RRGGBB
  convert "$1" -crop "1x1+$2+$3" txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}
expect() {  # FILE X Y COLOUR WHAT
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) is $got, expected $4"
}
sky='#77C2E9'
red='#FF0000'
black='#000000'

shot="$work/shot.png"
import -window "$window" "$shot"
[ "$(identify -format '%wx%h' "$shot")" = 960x640 ] || fail "screenshot is not 960x640"
expect "$shot" 100 100 "$red" "the start screen's top-left quarter"
expect "$shot" 700 100 '#0000FF' "the start screen's top-right quarter"
expect "$shot" 100 500 '#0000FF' "the start screen's bottom-left quarter"
echo "upright start screen: ok"

# The start button: landscape (148, 240), 184 x 46, twice that in the window.
xdotool mousemove --window "$window" 480 526 click 1
sleep 1
import -window "$window" "$shot"
expect "$shot" 600 400 "$sky" "the sky fills the picture"
expect "$shot" 959 639 "$sky" "the sky reaches the bottom-right corner"
# "SCORE 0 COINS 0 LIVES 5" at landscape (0, 0), twice the size in the window.
status="SCORE 0 COINS 0 LIVES 5"
for k in $(seq 0 $((${#status} - 1))); do
  expect "$shot" $((32 * k + 4)) 4 "$red" "status character $k, top-left quarter"
  expect "$shot" $((32 * k + 20)) 4 "$sky" "status character $k, top-right quarter"
  expect "$shot" $((32 * k + 4)) 20 "$sky" "status character $k, bottom-left quarter"
done
expect "$shot" $((32 * ${#status} + 4)) 4 "$sky" "the status line ends"
# "YOU MOVE  0.0M" at landscape (120, 32).
expect "$shot" 244 68 "$red" "the distance line starts at (120, 32)"
expect "$shot" $((240 + 32 * 13 + 4)) 68 "$red" "the distance line's last character"
expect "$shot" $((240 + 32 * 14 + 4)) 68 "$sky" "the distance line ends"
echo "upright heads-up display after the start button: ok"

# A wider window: the picture stays 960 x 640, centred between black bars.
xdotool windowsize "$window" 1200 640
sleep 1
import -window "$window" "$shot"
[ "$(identify -format '%wx%h' "$shot")" = 1200x640 ] || fail "the window did not resize"
expect "$shot" 60 320 "$black" "the left bar"
expect "$shot" 1140 320 "$black" "the right bar"
expect "$shot" 124 4 "$red" "the picture starts after the bar"
expect "$shot" 140 4 "$sky" "the first character's right quarter"
expect "$shot" 1079 639 "$sky" "the picture ends before the bar"
echo "resized window with bars: ok"

"$closer" "$window"
status=0
for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && fail "the game is still running after its window was closed"
wait "$game_pid" || status=$?
game_pid=""
[ "$status" = 0 ] || fail "the game ended with status $status"
echo "closing the window ends the game with status 0: ok"
