#!/usr/bin/env bash
# The real game in a real window under Xvfb, as a player starts it: a landscape window of
# 960 x 640 showing the start screen upright, a click on the start button, then the frame's
# heads-up display upright; a wider window keeps the 3:2 picture between black bars; closing
# the window ends the game with exit status 0.
# Usage: window_test.sh GAME CLOSE-WINDOW-TOOL
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"

# The game beside a data folder of our own, so we know exactly what it should show. In the
# test font every glyph cell has its top-left 8 x 8 quarter opaque red and the rest clear, so
# each character lights one corner of its cell: a turned or mirrored picture cannot pass.
draw=""
for c in $(seq 0 94); do draw="$draw rectangle $((c * 16)),0 $((c * 16 + 7)),7"; done
convert -size 1520x16 xc:none -fill '#FF0000' -draw "$draw" "PNG32:$work/data/font.png"
# The start screen's picture: its top-left quarter red, the rest blue.
convert -size 480x320 xc:'#0000FF' -fill '#FF0000' -draw 'rectangle 0,0 239,159' \
  "PNG32:$work/data/BG.png"

e2e_start_game

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "$width" = 960 ] && [ "$height" = 640 ] || fail "window is ${width}x${height}, not 960x640"

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
e2e_shoot_until "$shot" 100 is_pixel "$shot" 244 68 "$red" || true  # the distance line shows
expect "$shot" 600 400 "$sky" "the sky fills the picture"
expect "$shot" 959 639 "$sky" "the sky reaches the bottom-right corner"
# "SCORE 0 COINS 0 LIVES 5" at landscape (8, 6), clear of the window's edges, twice the size
# in the window.
status="SCORE 0 COINS 0 LIVES 5"
for k in $(seq 0 $((${#status} - 1))); do
  expect "$shot" $((16 + 32 * k + 4)) 16 "$red" "status character $k, top-left quarter"
  expect "$shot" $((16 + 32 * k + 20)) 16 "$sky" "status character $k, top-right quarter"
  expect "$shot" $((16 + 32 * k + 4)) 32 "$sky" "status character $k, bottom-left quarter"
done
expect "$shot" $((16 + 32 * ${#status} + 4)) 16 "$sky" "the status line ends"
# "YOU MOVE  0.0M" at landscape (120, 32).
expect "$shot" 244 68 "$red" "the distance line starts at (120, 32)"
expect "$shot" $((240 + 32 * 13 + 4)) 68 "$red" "the distance line's last character"
expect "$shot" $((240 + 32 * 14 + 4)) 68 "$sky" "the distance line ends"
echo "upright heads-up display after the start button: ok"

# A wider window: the picture stays 960 x 640, centred between black bars.
xdotool windowsize "$window" 1200 640
e2e_shoot_until "$shot" 100 is_pixel "$shot" 140 16 "$red" || true  # drawn again after the bar
[ "$(identify -format '%wx%h' "$shot")" = 1200x640 ] || fail "the window did not resize"
expect "$shot" 60 320 "$black" "the left bar"
expect "$shot" 1140 320 "$black" "the right bar"
expect "$shot" 140 16 "$red" "the picture starts after the bar"
expect "$shot" 156 16 "$sky" "the first character's right quarter"
expect "$shot" 1079 639 "$sky" "the picture ends before the bar"
echo "resized window with bars: ok"

e2e_close_expect_zero
