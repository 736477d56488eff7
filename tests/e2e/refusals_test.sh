#!/usr/bin/env bash
# What the game refuses, and a recording that cannot be written: --record onto a full device,
# or onto a file the game reads (status 2), a data folder without the game's pictures, words
# after --help; a disk that fills while playing says so on stderr and on screen, leaves the
# last complete recording in place and ends the game with status 1.
# Usage: refusals_test.sh GAME DATA-DIR CLOSE-WINDOW-TOOL
source "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$3"
cp -r "$2"/. "$work/data/"

# expect STATUS LINE-PATTERN ARGS...: the game ends at once with STATUS and one line.
expect() {
  local want=$1 pattern=$2 status=0
  shift 2
  SDL_AUDIODRIVER=dummy timeout 20 "$work/brinkhop" "$@" >"$work/out.txt" 2>"$work/err.txt" ||
    status=$?
  [ "$status" = "$want" ] || fail "'brinkhop $*' ended with $status, not $want: $(cat "$work/err.txt")"
  head -n 1 "$work/err.txt" | grep -qE "$pattern" ||
    fail "'brinkhop $*' said: $(head -n 1 "$work/err.txt")"
}

expect 1 '^brinkhop: cannot write the recording /dev/full: No space left on device$' \
  --record /dev/full
[ "$(wc -l <"$work/err.txt")" = 1 ] || fail "more than one line for /dev/full"
echo "a recording onto a full device is refused with one line and status 1: ok"

printf 'size 4096 64\n[map 0]\n14 ####\n' >"$work/room.txt"
cp "$work/room.txt" "$work/room.kept"
echo "0 end" >"$work/script.txt"
ln "$work/data/level" "$work/level-link"
expect 2 "^brinkhop: --record .*room.txt would write over .*room.txt, which the game reads$" \
  --level "$work/room.txt" --record "$work/room.txt"
expect 2 "would write over .*script.txt" --replay "$work/script.txt" --record "$work/./script.txt"
expect 2 "would write over .*data/level," --record "$work/level-link"
cmp -s "$work/room.txt" "$work/room.kept" || fail "the level was written over"
[ "$(cat "$work/script.txt")" = "0 end" ] || fail "the replay was written over"
[ "$(wc -l <"$work/err.txt")" = 1 ] || fail "more than one line for a same-file --record"
echo "--record onto the level, the replay or a data file is refused with status 2: ok"

mkdir "$work/empty"
expect 1 '^brinkhop: the data folder has no BG.png: the game.s pictures are missing$' \
  --data "$work/empty"
expect 2 "^brinkhop: --help takes nothing after it, not 'extra'$" --help extra
expect 2 "^brinkhop: --version takes nothing after it, not '--bogus'$" --version --bogus
echo "a data folder without pictures and words after --help are refused: ok"

# A disk that fills during play: a file size limit of 2 KB lets the first seconds of the
# recording in and refuses a later one.
echo "an older recording" >"$work/run.txt"
(
  trap '' XFSZ
  ulimit -f 2
  exec env SDL_AUDIODRIVER=dummy "$work/brinkhop" --record "$work/run.txt"
) >"$work/game.log" 2>&1 &
game_pid=$!
e2e_wait_window
xdotool key --window "$window" Return
sleep 0.5
import -window "$window" "$work/before.png"
grep -q "cannot write" "$work/game.log" && fail "the recording failed before its first seconds"
# Keys make the recording grow: on a quiet machine the clock alone may add no lines at all.
for _ in $(seq 150); do
  grep -q "cannot write" "$work/game.log" && break
  xdotool key --window "$window" --delay 20 Left Right Left Right
done
grep -q "^brinkhop: cannot write the recording $work/run.txt: File too large$" "$work/game.log" ||
  fail "the failed write is not on stderr"
kill -0 "$game_pid" || fail "the game stopped when the disk filled"
white() { convert "$1" -crop 800x100+0+110 -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:; }
before_white=$(white "$work/before.png")
e2e_shoot_until "$work/full.png" 50 eval '[ "$(white "$work/full.png")" -gt $((before_white + 500)) ]' ||
  true  # the check below says what went wrong
[ "$(white "$work/full.png")" -gt $((before_white + 500)) ] || fail "the failed write is not on screen"
"$closer" "$window"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" = 1 ] || fail "the game ended with $status after a failed write, not 1"
head -n 1 "$work/run.txt" | grep -q '^# A run of brinkhop, recorded' ||
  fail "the recording is not a complete prefix: $(head -c 200 "$work/run.txt")"
[ -z "$(find "$work" -maxdepth 1 -name 'run.txt.recording-*')" ] || fail "a temporary file was left"
echo "a disk that fills while recording: one line, on screen, status 1, a complete prefix: ok"

# A real full file system, where this machine lets us mount one.
mkdir "$work/small"
if mount -t tmpfs -o size=4k tmpfs "$work/small" 2>/dev/null; then
  trap 'umount "$work/small"; e2e_cleanup' EXIT
  head -c 4096 /dev/zero >"$work/small/filler" 2>/dev/null || true
  expect 1 "^brinkhop: cannot write the recording $work/small/run.txt: No space left on device$" \
    --record "$work/small/run.txt"
  umount "$work/small"
  trap e2e_cleanup EXIT
  echo "a recording onto a full tmpfs is refused with status 1: ok"
fi
