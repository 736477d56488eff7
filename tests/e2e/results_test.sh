#!/usr/bin/env bash
# The end of a level in the real game under Xvfb: a short level whose goal lies a few steps
# to the right; holding Right reaches it, the player walks on, the results screen follows with
# its figures, and a key press brings back the start screen.
# Usage: results_test.sh GAME DATA-DIR LEVEL-TOOL CLOSE-WINDOW-TOOL [SCREENSHOT-DIR]
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$4"
shots=${5:-}
cp -r "$2"/. "$work/data/"
cat >"$work/short.txt" <<'LEVEL'
size 4096 64
[map 0]
14 .....oooooo
15 ##############################
[links 0]
14 ...0
[triggers]
0 start
[goal]
from=12,0 to=13,14
LEVEL
"$3" build "$work/short.txt" -o "$work/data/level" || fail "the short level does not build"
e2e_start_game

import -window "$window" "$work/title.png"
xdotool mousemove --window "$window" 480 526 click 1
# Play has begun once the start screen's corner has changed.
e2e_shoot_until "$work/play.png" 100 eval \
  '[ "$(pixel "$work/play.png" 40 60)" != "$(pixel "$work/title.png" 40 60)" ]' ||
  true  # the checks below say what went wrong
xdotool keydown --window "$window" Right
# The results screen stands on a dark blue: wait for it (the walk on takes 2.5 s).
e2e_shoot_until "$work/results.png" 200 is_pixel "$work/results.png" 8 600 '#181430' || true
xdotool keyup --window "$window" Right
[ "$(pixel "$work/results.png" 8 600)" = '#181430' ] || fail "no results screen after the goal"
echo "reaching the goal shows the results: ok"
if [ -n "$shots" ]; then cp "$work/results.png" "$shots/results.png"; fi
# The figures are drawn: white glyphs on the lines of time, score, coins and lives lost.
light=$(convert "$work/results.png" -crop 600x240+200+200 -threshold 90% -format '%[fx:mean]' info:)
awk -v l="$light" 'BEGIN { exit !(l > 0.02) }' || fail "the results hold no text ($light)"
echo "the results show their figures: ok"

# The results ignore presses for half a second, so a key held from play cannot skip them: this
# pause is the game's own rule, not a wait for drawing.
sleep 1
xdotool key --window "$window" Return
e2e_shoot_until "$work/again.png" 100 eval '! is_pixel "$work/again.png" 8 600 "#181430"' || true
[ "$(pixel "$work/again.png" 8 600)" != '#181430' ] || fail "a key press left the results standing"
[ "$(pixel "$work/again.png" 40 60)" = "$(pixel "$work/title.png" 40 60)" ] ||
  fail "a key press did not bring back the start screen"
echo "a key press goes back to the start screen: ok"

e2e_close_expect_zero
