#!/usr/bin/env bash
# The desktop game's start screen at 960 x 640, as the browser test's reference picture: the
# real game in a window under Xvfb, reading the shipped data.
# Usage: desktop_start.sh GAME CLOSE-WINDOW-TOOL DATA-DIR OUTPUT.png
source "$(dirname "$0")/../e2e/lib.sh"
e2e_setup "$1" "$2"
cp "$3"/* "$work/data/"
e2e_start_game
import -window "$window" "$4"
e2e_close_expect_zero >/dev/null
