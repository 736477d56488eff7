#!/usr/bin/env bash
# The real game on its own data under Xvfb, played as a person would: the start screen with
# its title, a click on the start button, the backdrop behind play, then holding the right button with the mouse and
# the Right key on the keyboard both move the player through the level, and the play buttons
# hide while the keyboard is in use.
# Usage: play_test.sh GAME DATA-DIR CLOSE-WINDOW-TOOL [SCREENSHOT-DIR]
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$3"
shots=${4:-}
cp -r "$2"/. "$work/data/"
e2e_start_game

# How much of the picture changed between two screenshots, in per cent of its pixels.
changed() {
  # compare exits 1 when the pictures differ, which is what we hope for.
  { compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 || true; } |
    awk '{printf "%d", 100 * $1 / (960 * 640)}'
}
# Takes screenshots into $2 until at least $3% of the picture differs from $1 (up to about 8 s
# on a busy machine); prints the last difference.
shoot_until_changed() {
  local moved=0
  for _ in $(seq 16); do
    sleep 0.5
    import -window "$window" "$2"
    moved=$(changed "$1" "$2")
    [ "$moved" -ge "$3" ] && break
  done
  echo "$moved"
}

# The start button blinks over the title picture, shown three quarters of each cycle: most
# pictures of the start screen hold its blue.
shown=0
for k in $(seq 8); do
  import -window "$window" "$work/title$k.png"
  if is_pixel "$work/title$k.png" 330 500 '#4A86E8'; then
    shown=$((shown + 1))
    cp "$work/title$k.png" "$work/title.png"
  fi
  sleep 0.3
done
[ "$shown" -ge 4 ] || fail "the start button shows in $shown of 8 pictures of the start screen"
echo "the start screen shows its start button: ok ($shown of 8 pictures)"
if [ -n "$shots" ]; then cp "$work/title.png" "$shots/start-screen.png"; fi
# The start button (landscape 148, 240, 184 x 46) starts the game.
xdotool mousemove --window "$window" 480 526 click 1
moved=$(shoot_until_changed "$work/title.png" "$work/start.png" 30)
[ "$moved" -ge 30 ] || fail "the start button changed only $moved% of the picture"
echo "the start button starts the game: ok"
if [ -n "$shots" ]; then cp "$work/start.png" "$shots/play-start.png"; fi
# A backdrop stands behind play: the sky deepens towards the top as on the start screen, where
# the plain clear colour would show without it.
[ "$(pixel "$work/start.png" 4 40)" = '#4F9FD8' ] || fail "no backdrop behind play"
echo "the backdrop stands behind play: ok"
# The right button sits at landscape (128, 230), 64 x 64: twice that in the window. The
# picture to compare with is taken once the player has landed from the level's opening hop.
settled() {
  sleep 0.2
  import -window "$window" "$work/before.png"
  [ "$(changed "$work/before.png" "$1")" -lt 1 ]
}
e2e_shoot_until "$work/start.png" 50 settled "$work/start.png" || true
xdotool mousemove --window "$window" 320 524 mousedown 1
moved=$(shoot_until_changed "$work/start.png" "$work/mouse.png" 5)
xdotool mouseup 1
[ "$moved" -ge 5 ] || fail "holding the right button with the mouse changed only $moved% of the picture"
echo "the mouse on the right button moves the player: ok ($moved% of the picture changed)"

# The jump button (landscape 400, 230) is drawn: its middle is not the sky.
[ "$(pixel "$work/mouse.png" 864 524)" != '#77C2E9' ] || fail "the jump button is not drawn"

e2e_shoot_until "$work/mouse.png" 50 settled "$work/mouse.png" || true
xdotool keydown --window "$window" Right
moved=$(shoot_until_changed "$work/mouse.png" "$work/keys.png" 5)
xdotool keydown --window "$window" space
# Playing by keyboard hides the play buttons: the left button's middle shows the world.
left_before=$(pixel "$work/mouse.png" 128 524)
e2e_shoot_until "$work/keys.png" 50 eval '! is_pixel "$work/keys.png" 128 524 "$left_before"' || true
xdotool keyup --window "$window" space
xdotool keyup --window "$window" Right
if [ -n "$shots" ]; then cp "$work/keys.png" "$shots/play-running.png"; fi
[ "$moved" -ge 5 ] || fail "the Right key changed only $moved% of the picture"
echo "the keyboard moves the player: ok ($moved% of the picture changed)"
left_after=$(pixel "$work/keys.png" 128 524)
[ "$left_before" != "$left_after" ] || fail "the left button still shows while playing by keyboard"
echo "the play buttons hide while the keyboard is in use: ok"

e2e_close_expect_zero
