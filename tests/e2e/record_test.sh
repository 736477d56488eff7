#!/usr/bin/env bash
# Recording and replaying real play: a few seconds of keyboard play with --record, flushed as
# it goes, ends in a comment holding the last frame's state; the simulator plays the file to
# that same state, and so does --replay in the window. A replay of tests/replays in the
# window ends where the simulator ends.
# Usage: record_test.sh GAME SIM DATA-DIR CLOSE-WINDOW-TOOL REPLAY-FILE
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$4"
sim=$2
cp -r "$3"/. "$work/data/"
run="$work/run.txt"

# Waits up to 60 s for a replay to print its last frame.
wait_output() {
  for _ in $(seq 600); do [ -s "$1" ] && break; sleep 0.1; done
  [ -s "$1" ] || fail "the replay printed no last frame"
}

SDL_AUDIODRIVER=dummy "$work/brinkhop" --record "$run" >"$work/game.log" 2>&1 &
game_pid=$!
e2e_wait_window
e2e_wait_drawn
# The pauses below are the player's own pace: the recording must hold them, frame for frame.
xdotool key --window "$window" Return
sleep 0.5
xdotool keydown --window "$window" Right
sleep 1.2
xdotool keydown --window "$window" space
sleep 0.4
xdotool keyup --window "$window" space
sleep 0.6
xdotool key --window "$window" p  # a pause, and on again
sleep 0.7
xdotool key --window "$window" p
sleep 0.5
xdotool keyup --window "$window" Right
xdotool keydown --window "$window" Left
sleep 0.4
xdotool keyup --window "$window" Left
for _ in $(seq 30); do grep -q "key left up" "$run" && break; sleep 0.1; done
grep -q "key right down" "$run" || fail "the recording is not written as the game goes"
e2e_close_expect_zero

last=$(tail -n 1 "$run")
[[ "$last" == '# {"frame":'* ]] || fail "the recording does not end with the last frame: $last"
recorded=${last#\# }
grep -q "key pause down" "$run" || fail "the pause is not in the recording"
grep -q " clock " "$run" || fail "the recording holds no clock line"
simulated=$("$sim" --data "$work/data" --input "$run" --trace | tail -n 1)
[ "$simulated" = "$recorded" ] ||
  fail "the simulator ends elsewhere:\n  recorded  $recorded\n  simulated $simulated"
moved=$(grep -o '"meters":[0-9.]*' <<<"$recorded" | cut -d: -f2)
awk "BEGIN { exit !($moved > 1) }" || fail "the recorded run went nowhere: $recorded"
echo "the simulator plays a recording to its last line: ok ($(grep -c . "$run") lines)"

SDL_AUDIODRIVER=dummy "$work/brinkhop" --replay "$run" >"$work/replayed.txt" 2>"$work/game.log" &
game_pid=$!
e2e_wait_window
wait_output "$work/replayed.txt"
e2e_close_expect_zero
[ "$(cat "$work/replayed.txt")" = "$recorded" ] ||
  fail "--replay ends elsewhere: $(cat "$work/replayed.txt")"
echo "--replay of the recording ends in the recorded state: ok"

# Replays a script in the window and compares its last frame with the simulator's.
replay_matches() {
  local script=$1 frames
  frames=$(($(grep -v '^#' "$script" | awk 'NF { print $1 }' | sort -n | tail -n 1) + 1))
  SDL_AUDIODRIVER=dummy "$work/brinkhop" --replay "$script" >"$work/replayed.txt" 2>"$work/game.log" &
  game_pid=$!
  e2e_wait_window
  wait_output "$work/replayed.txt"
  e2e_close_expect_zero
  expected=$("$sim" --data "$work/data" --input "$script" --frames "$frames" --trace | tail -n 1)
  [ "$(cat "$work/replayed.txt")" = "$expected" ] ||
    fail "--replay $(basename "$script") ends elsewhere:\n  window    $(cat "$work/replayed.txt")\n  simulator $expected"
  echo "--replay of $(basename "$script") ends in the simulator's last frame: ok"
}
replay_matches "$5"
# Fingers: right held, a jump with a second finger, a slide onto left, a restart.
printf '%s\n' "0 down 0 right" "20 down 1 jump" "30 up 1" "45 move 0 left" "55 up 0" \
  "60 down 2 right" "80 up 2" "85 down 3 restart" "86 up 3" "95 down 0 right" "100 end" \
  >"$work/fingers.txt"
replay_matches "$work/fingers.txt"
