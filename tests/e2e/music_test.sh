#!/usr/bin/env bash
# Music in the real game under Xvfb, heard through SDL's disk audio driver (the mixer's output
# written to a file as it plays): the start screen has its tune, M silences it, M again brings
# it back, and play has music of its own.
# Usage: music_test.sh GAME DATA-DIR CLOSE-WINDOW-TOOL
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$3"
cp -r "$2"/. "$work/data/"
audio="$work/audio.raw"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" "$work/brinkhop" >"$work/game.log" 2>&1 &
game_pid=$!
e2e_wait_window

# The loudest sample written during the next second (16-bit signed, little-endian).
loudest() {
  local from
  from=$(stat -c %s "$audio")
  sleep 1
  tail -c +"$((from + 1))" "$audio" | od -An -v -td2 -w2 |
    awk 'BEGIN { m = 0 } { v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m }'
}

# Sound comes up within a few seconds on a loaded machine; each try listens for a second.
loud_within() { for _ in $(seq "$1"); do [ "$(loudest)" -gt 1000 ] && return 0; done; return 1; }
silent_within() { for _ in $(seq "$1"); do [ "$(loudest)" -eq 0 ] && return 0; done; return 1; }
loud_within 10 || fail "the start screen is silent"
echo "the start screen has its tune: ok"
xdotool key --window "$window" m
silent_within 5 || fail "M did not silence the music"
echo "M mutes: ok"
xdotool key --window "$window" m
loud_within 5 || fail "M again did not bring the music back"
echo "M again unmutes: ok"
xdotool mousemove --window "$window" 480 526 click 1
loud_within 5 || fail "play is silent"
echo "play has its tune: ok"

e2e_close_expect_zero
