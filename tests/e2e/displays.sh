#!/usr/bin/env bash
# Two displays: full screen is measured from the chosen one, a display that is not there
# is refused, and on a desktop scaled by 2 window mode is drawn twice as large and still
# answers the mouse where it shows.
source "$(dirname "$0")/lib.bash" "$@"

start_xvfb 2048x1536 -screen 1 800x600x24

# The window SDL settles on: the first one it shows may be replaced while it starts.
settled_window() {
    sleep 1
    WINDOW=$(xdotool search --onlyvisible --name "Ozmir Simulator" 2>/dev/null | tail -n 1)
}

start_ozmir --display 1
settled_window
expect_geometry "0 0 800 600" "full screen on display 1"
kill -TERM "$OZMIR_PID"
expect_signal_end 3 TERM "after SIGTERM"

set +e
"$OZMIR" --display 2 >"$ARTEFACTS/$TEST_NAME.out" 2>"$ARTEFACTS/$TEST_NAME.err"
status=$?
set -e
[[ $status == 2 ]] || fail "--display 2: exit status $status"
[[ $(wc -l <"$ARTEFACTS/$TEST_NAME.err") == 1 ]] || fail "--display 2: $(cat "$ARTEFACTS/$TEST_NAME.err")"
grep -q -- "--display 2" "$ARTEFACTS/$TEST_NAME.err" || fail "the message does not name the option"

export OZMIR_SCALE=2
start_ozmir
settled_window
expect_geometry "0 0 2048 1536" "full screen on display 0, not scaled"
double_click 500 400
# 800 x 600 logical pixels, centred: twice as large, still centred.
expect_geometry "224 168 1600 1200" "scaled window mode"
sleep 0.5
shot scaled
expect_pixel 224 168 "214,203,163" "border"
expect_pixel 225 169 "214,203,163" "border"
expect_pixel $((224 + 2 * 400)) $((168 + 2 * 560)) "128,128,128" "panel background"
# A double click on the view where it shows switches back.
double_click $((224 + 2 * 400)) $((168 + 2 * 200))
expect_geometry "0 0 2048 1536" "after a double click on the scaled view"
echo "PASS [$TEST_NAME]"
