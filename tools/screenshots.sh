#!/usr/bin/env bash
# Takes the README's pictures of the shipped level in the real window under Xvfb: a sign read
# below the heads-up display, the finale arena, a death's marker and tell after a retry, the
# results of the whole run, and the whole level drawn by the level tool.
# Usage: tools/screenshots.sh [BUILD-DIR] [OUT-DIR]   (defaults: build docs)
build=${1:-build}
out=${2:-docs}
source "$(dirname "$0")/../tests/e2e/lib.sh"
e2e_setup "$build/brinkhop" "$build/brinkhop-close-window"
cp -r "$build/data"/. "$work/data/"

sign_at=18,39      # the "DOWN?" sign over the pipe to the money room
finale_at=682,39   # in the boss arena: its fires, fire bar and hammers in view

# shot AT FILE SECONDS: starts at cell AT, holds Right for SECONDS, and keeps the picture.
shot() {
  e2e_start_game --at "$1"
  xdotool mousemove --window "$window" 480 526 click 1  # the start button
  sleep 1
  xdotool keydown --window "$window" Right
  sleep "$3"
  xdotool keyup --window "$window" Right
  sleep 0.3
  import -window "$window" "$2"
  e2e_close_expect_zero >/dev/null
}
shot "$sign_at" "$out/play-sign.png" 0.4
shot "$finale_at" "$out/play-finale.png" 0.2
# replay_shot REPLAY FILE: plays a recorded run in the window and keeps its last picture, which
# stands still once the game prints the run's last trace line.
replay_shot() {
  e2e_start_game --replay "$1"
  for _ in $(seq 600); do grep -q '^{"frame"' "$work/game.log" && break; sleep 0.5; done
  sleep 0.5
  import -window "$window" "$2"
  e2e_close_expect_zero >/dev/null
}
replays=$(dirname "$0")/../tests/replays
replay_shot "$replays/retry_past_the_marked_gap.txt" "$out/death-marker.png"
replay_shot "$replays/complete.txt" "$out/results.png"
"$build/brinkhop-level" render "$build/data/level" -o "$out/level-overview.png" --scale 8
echo "pictures in $out: play-sign.png play-finale.png death-marker.png results.png level-overview.png"
