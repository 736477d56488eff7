# Shared by the end-to-end tests: a private Xvfb, the game copied beside a data folder of the
# test's choosing, its window, pixel reading, and the orderly close. Source it, then call
# e2e_setup GAME CLOSE-WINDOW-TOOL; fill "$work/data"; e2e_start_game.
set -euo pipefail

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
window=""
closer=""
e2e_cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/game.log" ] && sed 's/^/game: /' "$work/game.log" >&2
  exit 1
}

# e2e_setup GAME CLOSE-WINDOW-TOOL: the game copied into the work folder, an empty data folder.
e2e_setup() {
  cp "$1" "$work/brinkhop"
  closer=$2
  mkdir -p "$work/data"
  # -noreset: by default the server resets when its last client leaves, and a game started
  # while it does (a test's second game, once the first has closed) finds no display.
  Xvfb -displayfd 5 -screen 0 1920x1200x24 -nolisten tcp -noreset 5>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
  # The display number may come before the server takes connections on a loaded machine.
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb takes no connections"
}

# Waits up to 10 s for the game's window.
e2e_wait_window() {
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name '^Brinkhop$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window captioned Brinkhop"
}

# Starts the game with ARGS (silent unless SDL_AUDIODRIVER says otherwise) and waits for its
# window and its first frames.
e2e_start_game() {
  SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$work/brinkhop" "$@" >"$work/game.log" 2>&1 &
  game_pid=$!
  e2e_wait_window
  e2e_wait_drawn
}

# Waits up to 20 s for the window to show a picture: on a loaded machine the first frames may
# come late, and a fixed pause would catch a black window.
e2e_wait_drawn() {
  for _ in $(seq 200); do
    if import -window "$window" "$work/drawn.png" 2>/dev/null &&
      [ "$(convert "$work/drawn.png" -format '%[fx:maxima>0]' info: 2>/dev/null)" = 1 ]; then
      return 0
    fi
    sleep 0.1
  done
  fail "the window stayed black"
}

pixel() {  # FILE X Y -> #RRGGBB
  convert "$1" -crop "1x1+$2+$3" txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}
is_pixel() { [ "$(pixel "$1" "$2" "$3")" = "$4" ]; }  # FILE X Y #RRGGBB

# e2e_shoot_until FILE TRIES CONDITION...: screenshots into FILE every 0.1 s until CONDITION (a
# command run after each shot) holds, at most TRIES shots. A loaded machine draws late, so a
# fixed pause before a screenshot would sometimes catch the picture before.
e2e_shoot_until() {
  local file=$1 tries=$2
  shift 2
  for _ in $(seq "$tries"); do
    import -window "$window" "$file" 2>/dev/null && "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Closes the window as a window manager's close button does; the game must end with 0.
e2e_close_expect_zero() {
  "$closer" "$window"
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game_pid" 2>/dev/null && fail "the game is still running after its window was closed"
  local status=0
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" = 0 ] || fail "the game ended with status $status"
  echo "closing the window ends the game with status 0: ok"
}
