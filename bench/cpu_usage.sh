#!/usr/bin/env bash
# Whole-process CPU use of the running game at 30 frames per second, in a real window under
# Xvfb (with Mesa's software GL, so the rasteriser's work is counted too).
# Usage: bench/cpu_usage.sh [GAME] [SECONDS] [start|play]: the start screen (the default), or
# play on the first screen of the level after a click on the start button.
set -euo pipefail
game=${1:-build/brinkhop}
seconds=${2:-10}
screen=${3:-start}
work=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb $pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1 &
pid=$!
sleep 2
if [ "$screen" = play ]; then
  window=$(xdotool search --name '^Brinkhop$' | head -n 1)
  xdotool mousemove --window "$window" 480 526 click 1
  sleep 1
fi
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  -v screen="$screen" \
  'BEGIN { printf "brinkhop: %.1f%% of one core over %d s (%s)\n", 100 * t / hz / s, s, screen }'
