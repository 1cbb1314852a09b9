#!/usr/bin/env bash
# Nothing to see, nothing drawn: while its window is unmapped (a screensaver's window, or
# its own as a window manager unmaps a minimised one) ozmir stops drawing and only wakes
# now and then; mapped again it flies on; SIGTERM and a closed window still end it.
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: hidden_window.sh OZMIR ARTEFACTS TEST_WINDOW}

# The times ozmir went to sleep in two seconds: a frame sleeps at least once, about 90
# times a second; a paused loop wakes twice a second.
sleeps_in_two_seconds() {
    local before after
    before=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$OZMIR_PID/status")
    sleep 2
    after=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$OZMIR_PID/status")
    echo $((after - before))
}
expect_paused() {
    sleep 1
    local n
    n=$(sleeps_in_two_seconds)
    ((n <= 12)) || fail "$1: still drawing ($n sleeps in two seconds)"
}
expect_drawing() {
    sleep 1
    local n
    n=$(sleeps_in_two_seconds)
    ((n >= 60)) || fail "$1: not drawing ($n sleeps in two seconds)"
    crop "$2" "${@:3}"
    local lit
    lit=$(convert "$ARTEFACTS/$TEST_NAME-$2.png" -colorspace gray -threshold 20% \
        -format "%[fx:round(mean*w*h)]" info:)
    ((lit > 20)) || fail "$1: no stars ($lit lit pixels)"
}

start_xvfb 1024x768

# A screensaver's window, unmapped and mapped again; SIGTERM while it is unmapped.
start_host 400x300+100+100
"$OZMIR" --window-id "$HOST_ID" >"$ARTEFACTS/$TEST_NAME.stdout" 2>"$ARTEFACTS/$TEST_NAME.stderr" &
OZMIR_PID=$!
expect_drawing "screensaver" saver 100 100 400 300
xdotool windowunmap "$HOST_ID"
expect_paused "screensaver's window unmapped"
xdotool windowmap "$HOST_ID"
expect_drawing "screensaver's window mapped again" saver-again 100 100 400 300
xdotool windowunmap "$HOST_ID"
sleep 1
kill -TERM "$OZMIR_PID"
expect_signal_end 2 TERM "SIGTERM while the window is unmapped"
stop_host

# Its own window, unmapped as a minimised one is; closed while unmapped.
start_ozmir --stars 2000
expect_drawing "full screen" own 0 0 1024 768
xdotool windowunmap "$WINDOW"
expect_paused "own window unmapped"
xdotool windowmap "$WINDOW"
expect_drawing "own window mapped again" own-again 0 0 1024 768
xdotool windowunmap "$WINDOW"
sleep 1
xdotool windowclose "$WINDOW"
expect_exit 2 "window closed while unmapped"
echo "PASS [$TEST_NAME]"
