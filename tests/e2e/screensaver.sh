#!/usr/bin/env bash
# As a screensaver: ozmir draws into a window another program made, fills it and nothing
# else, follows its size, and ends with status 0 on SIGTERM or when the window goes away.
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: screensaver.sh OZMIR ARTEFACTS TEST_WINDOW}
HOST_PID=

stop_host() {
    [[ -n $HOST_PID ]] && kill "$HOST_PID" 2>/dev/null
    wait "$HOST_PID" 2>/dev/null
    HOST_PID=
}
trap 'stop_host; cleanup' EXIT

# Opens the host window at WxH+X+Y and sets HOST_ID.
start_host() {
    rm -f "$ARTEFACTS/$TEST_NAME.host"
    "$TEST_WINDOW" "$1" >"$ARTEFACTS/$TEST_NAME.host" &
    HOST_PID=$!
    for _ in $(seq 50); do
        HOST_ID=$(head -n 1 "$ARTEFACTS/$TEST_NAME.host" 2>/dev/null)
        [[ -n $HOST_ID ]] && return 0
        sleep 0.1
    done
    fail "the host window did not appear"
}

# Starts ozmir with the given arguments (after the environment's assignments, if any),
# without waiting for a window of its own: it makes none.
start_saver() {
    env "$@" >"$ARTEFACTS/$TEST_NAME.stdout" 2>"$ARTEFACTS/$TEST_NAME.stderr" &
    OZMIR_PID=$!
    sleep 1.5
    kill -0 "$OZMIR_PID" 2>/dev/null || fail "ozmir exited at start: $(cat "$ARTEFACTS/$TEST_NAME.stderr")"
}

# Pixels of the host's own colour, and pixels brighter than dark grey, in a saved region.
host_coloured() {
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -fill black +opaque "rgb(32,64,96)" \
        -fill white -opaque "rgb(32,64,96)" -format "%[fx:round(mean*w*h)]" info:
}
lit() {
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -colorspace gray -threshold 20% \
        -format "%[fx:round(mean*w*h)]" info:
}
# The screen outside a rectangle X Y W H, as it is now, saved as NAME.
outside() {
    import -window root "$ARTEFACTS/$TEST_NAME-$1.png" 2>/dev/null
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -fill red \
        -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))" "$ARTEFACTS/$TEST_NAME-$1.png"
}

start_xvfb 1024x768
start_host 400x300+100+100
outside before 100 100 500 350

start_saver "$OZMIR" --window-id "$HOST_ID"
crop inside 100 100 400 300
[[ $(host_coloured inside) == 0 ]] || fail "the view does not cover the window"
(($(lit inside) > 20)) || fail "no stars in the window ($(lit inside) lit pixels)"
outside after 100 100 500 350
[[ $(differing_pixels before after) == 0 ]] || fail "ozmir drew outside its window"

# The window grows: the view grows with it, and still stays inside.
xdotool windowsize "$HOST_ID" 500 350
sleep 1
crop grown 100 100 500 350
crop strip 500 100 100 350
[[ $(host_coloured grown) == 0 ]] || fail "the view did not follow the window's new size"
(($(lit strip) > 3)) || fail "no stars in the window's new part"
outside grown-outside 100 100 500 350
[[ $(differing_pixels before grown-outside) == 0 ]] || fail "ozmir drew outside its grown window"

kill -TERM "$OZMIR_PID"
expect_exit 3 "after SIGTERM"

# Given by XScreenSaver's variable; the window goes away while ozmir draws into it.
start_saver XSCREENSAVER_WINDOW="$(printf '0x%x' "$HOST_ID")" "$OZMIR"
crop again 100 100 500 350
(($(lit again) > 20)) || fail "no stars in the window named by XSCREENSAVER_WINDOW"
stop_host
expect_exit 3 "after the window went away"

# The root window.
start_saver "$OZMIR" --root
crop root 0 0 1024 768
(($(lit root) > 50)) || fail "no stars on the root window"
kill -TERM "$OZMIR_PID"
expect_exit 3 "--root after SIGTERM"
echo "PASS [$TEST_NAME]"
