#!/usr/bin/env bash
# The display going away: a display that is not there is named; an X server that ends
# while the program runs gets one line naming it, status 1, or 0 for a screensaver (its
# host chose to go).
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: display_lost.sh OZMIR ARTEFACTS TEST_WINDOW}
ERR="$ARTEFACTS/$TEST_NAME.stderr"

# Fails unless the program's stderr is one line about display $1; $2 names the case.
expect_display_line() {
    [[ $(wc -l <"$ERR") == 1 ]] || fail "$2: stderr is not one line: $(head -c 2000 "$ERR")"
    grep -qF "'$1'" "$ERR" || fail "$2: the display is not named: $(cat "$ERR")"
    grep -q "XIO" "$ERR" && fail "$2: Xlib's own report: $(cat "$ERR")"
    return 0
}

status=0
DISPLAY=:77 timeout 20 "$OZMIR" 2>"$ERR" || status=$?
[[ $status == 1 ]] || fail "DISPLAY=:77: status $status"
expect_display_line ":77" "DISPLAY=:77"

# Full screen, then as a screensaver in a window of another client.
for mode in full screensaver; do
    start_xvfb 640x480
    if [[ $mode == full ]]; then
        start_ozmir
    else
        rm -f "$ARTEFACTS/$TEST_NAME.host"
        "$TEST_WINDOW" 200x150+10+10 >"$ARTEFACTS/$TEST_NAME.host" 2>/dev/null &
        for _ in $(seq 50); do
            [[ -s $ARTEFACTS/$TEST_NAME.host ]] && break
            sleep 0.1
        done
        "$OZMIR" --window-id "$(head -n 1 "$ARTEFACTS/$TEST_NAME.host")" 2>"$ERR" &
        OZMIR_PID=$!
        for _ in $(seq 100); do # until it draws into the window
            [[ $(pixel_at 110 85) == "0,0,0" ]] && break
            sleep 0.1
        done
    fi
    kill "$XVFB_PID"
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    wait_exit 10
    want=$([[ $mode == full ]] && echo 1 || echo 0)
    [[ $EXIT_STATUS == "$want" ]] || fail "$mode: status $EXIT_STATUS after the X server ended"
    expect_display_line "$DISPLAY" "$mode"
done
wait
echo "PASS [$TEST_NAME]"
