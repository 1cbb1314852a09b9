#!/usr/bin/env bash
# A window destroyed by another X client ends the program like a close request: status
# 0, and nothing on stderr (no X error; under the sanitizers, no report either).
source "$(dirname "$0")/lib.bash" "$@"

start_xvfb 1024x768
start_ozmir
xdotool key --window "$WINDOW" Return
expect_geometry "112 84 800 600" "after Enter"

xdotool windowclose "$WINDOW"
expect_exit 20 "after windowclose"
[[ ! -s $ARTEFACTS/$TEST_NAME.stderr ]] || fail "stderr: $(head -c 2000 "$ARTEFACTS/$TEST_NAME.stderr")"
echo "PASS [$TEST_NAME]"
