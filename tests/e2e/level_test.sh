#!/usr/bin/env bash
# A designer's loop in the real window: --level plays a level source, a save while the game
# runs is reloaded (the new wall shows), a save that does not build keeps the game running
# with the error on screen and on stderr, the fixed save loads again; --at starts the player
# at its cell; bad command lines end with status 2 and the usage.
# Usage: level_test.sh GAME DATA-DIR CLOSE-WINDOW-TOOL ROOM-SOURCE [SCREENSHOT-DIR]
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$3"
cp -r "$2"/. "$work/data/"
room="$work/room.txt"
cp "$4" "$room"
shots=${5:-}

# Bad command lines: one line saying what is wrong, then the usage; status 2.
for args in "--bogus" "--at" "--at 5" "--at 5,99" "--level"; do
  status=0
  # shellcheck disable=SC2086
  "$work/brinkhop" $args >"$work/out.txt" 2>"$work/err.txt" || status=$?
  [ "$status" = 2 ] || fail "'brinkhop $args' ended with $status, not 2"
  head -n 1 "$work/err.txt" | grep -q '^brinkhop: ' || fail "'brinkhop $args' did not say why"
  grep -q '^usage: brinkhop ' "$work/err.txt" || fail "'brinkhop $args' did not print the usage"
done
"$work/brinkhop" --help | grep -q -- '--level FILE' || fail "--help does not list --level"
echo "bad command lines end with status 2 and the usage: ok"

# A source with an error: reported as the level tool does, status 1, no window.
printf 'size 4096 64\n[map 0]\n14 ##X#\n' >"$work/broken.txt"
status=0
"$work/brinkhop" --level "$work/broken.txt" 2>"$work/err.txt" || status=$?
[ "$status" = 1 ] || fail "a broken --level ended with $status, not 1"
grep -q "broken.txt:3:6: " "$work/err.txt" || fail "no FILE:LINE:COLUMN error: $(cat "$work/err.txt")"
echo "a --level source with errors exits 1 with FILE:LINE:COLUMN: ok"

# --at: the first frame of a one-frame replay has the player on the cell (32 px a cell).
echo "0 end" >"$work/one.txt"
"$work/brinkhop" --level "$room" --at 12,5 --replay "$work/one.txt" >"$work/at.txt" 2>"$work/game.log" &
game_pid=$!
for _ in $(seq 100); do [ -s "$work/at.txt" ] && break; sleep 0.1; done
window=$(xdotool search --name '^Brinkhop$' | head -n 1)
e2e_close_expect_zero
grep -q '"frame":0,"x":384,' "$work/at.txt" || fail "--at 12,5 did not start at x 384: $(cat "$work/at.txt")"
echo "--at starts the player at its cell: ok"

# Sky or not at a window point.
sky() { [ "$(pixel "$1" "$2" "$3")" = '#77C2E9' ]; }
# White glyph pixels in the notice lines under the distance line, left of the restart button.
notice_pixels() {
  convert "$1" -crop 800x100+0+110 -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:
}
wall_x=780 wall_y=257  # the middle of the wall the edit adds, in the window

e2e_start_game --level "$room"
xdotool key --window "$window" Return
# The notices to compare with later are those play shows once it has run for a moment.
sleep 1.5
import -window "$window" "$work/before.png"
sky "$work/before.png" $wall_x $wall_y || fail "there is something where the wall will be"

# Saved by writing a new file and renaming it over the old, as editors do.
sed 's/^11 \.\.\.\.\.\.\.\.\./11 ......SSS/; s/^12 \.\.\.\.\.\.\.\.\./12 ......SSS/' "$room" >"$work/room.new"
mv "$work/room.new" "$room"
for _ in $(seq 30); do grep -q "reloaded" "$work/game.log" && break; sleep 0.2; done
e2e_shoot_until "$work/wall.png" 100 eval '! sky "$work/wall.png" $wall_x $wall_y' || true
grep -q "reloaded $room" "$work/game.log" || fail "the saved level was not reloaded"
sky "$work/wall.png" $wall_x $wall_y && fail "the wall of the saved level does not show"
echo "a saved level is reloaded and shows: ok"

# A save that does not build: the game runs on with the old level and shows why.
cp "$room" "$work/good.txt"
echo "bogus line" >>"$room"
for _ in $(seq 30); do grep -q "does not build" "$work/game.log" && break; sleep 0.2; done
more_notice() { [ "$(notice_pixels "$1")" -gt "$(($(notice_pixels "$work/before.png") + 500))" ]; }
e2e_shoot_until "$work/broken.png" 100 more_notice "$work/broken.png" || true
grep -q "room.txt:[0-9]*:1: expected a trigger index" "$work/game.log" ||
  fail "the error is not on stderr"
kill -0 "$game_pid" || fail "the game stopped on a broken save"
sky "$work/broken.png" $wall_x $wall_y && fail "the last good level is gone"
more_notice "$work/broken.png" || fail "the error is not on screen"
echo "a broken save keeps the game running and shows the error: ok"

# Fixed again: the next save loads and the error goes.
sleep 1.1  # a new modification time for file systems that count whole seconds
cp "$work/good.txt" "$room"
for _ in $(seq 30); do [ "$(grep -c reloaded "$work/game.log")" -ge 2 ] && break; sleep 0.2; done
no_notice() { [ "$(notice_pixels "$1")" -le "$(notice_pixels "$work/before.png")" ]; }
e2e_shoot_until "$work/fixed.png" 100 no_notice "$work/fixed.png" || true
[ "$(grep -c reloaded "$work/game.log")" -ge 2 ] || fail "the fixed save was not loaded"
no_notice "$work/fixed.png" || fail "the error still shows after a good save"
echo "the fixed save loads and the error goes: ok"
if [ -n "$shots" ]; then cp "$work/before.png" "$work/wall.png" "$work/broken.png" "$shots/"; fi
e2e_close_expect_zero
