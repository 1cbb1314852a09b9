#!/usr/bin/env bash
# The program starts covering the screen and Esc ends it with status 0.
source "$(dirname "$0")/lib.bash" "$@"

start_xvfb 1024x768
start_ozmir
expect_geometry "0 0 1024 768" "at start: the window does not cover the screen"
shot start

xdotool key --window "$WINDOW" Escape
wait_exit 2
[[ $EXIT_STATUS == 0 ]] || fail "after Esc: exit status $EXIT_STATUS"
echo "PASS [$TEST_NAME]"
