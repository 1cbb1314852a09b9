# Shared by the end-to-end tests: a private X server, the program under it, and checks.
# Usage in a test: source lib.bash "$@"; then start_xvfb, start_ozmir, ...

OZMIR=$1
ARTEFACTS=${2:-/tmp/ozmir-e2e}
TEST_NAME=$(basename "$0" .sh)
mkdir -p "$ARTEFACTS"
XVFB_PID=
OZMIR_PID=

fail() {
    echo "FAIL [$TEST_NAME]: $*" >&2
    shot "failure" || true
    exit 1
}

cleanup() {
    [[ -n $OZMIR_PID ]] && kill "$OZMIR_PID" 2>/dev/null
    [[ -n $HOST_PID ]] && kill "$HOST_PID" 2>/dev/null
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

# Opens another program's window at WxH+X+Y (an InputOnly one after input-only), for the
# screensaver to draw into, and sets HOST_PID and HOST_ID.
HOST_PID=
start_host() {
    rm -f "$ARTEFACTS/$TEST_NAME.host"
    "$TEST_WINDOW" "$@" >"$ARTEFACTS/$TEST_NAME.host" &
    HOST_PID=$!
    for _ in $(seq 50); do
        HOST_ID=$(head -n 1 "$ARTEFACTS/$TEST_NAME.host" 2>/dev/null)
        [[ -n $HOST_ID ]] && return 0
        sleep 0.1
    done
    fail "the host window did not appear"
}
stop_host() {
    [[ -n $HOST_PID ]] && kill "$HOST_PID" 2>/dev/null
    wait "$HOST_PID" 2>/dev/null
    HOST_PID=
}

# start_xvfb [SIZE [more Xvfb arguments, such as a second -screen]]
start_xvfb() {
    local size=${1:-1024x768}
    shift || true
    local fdfile
    fdfile=$(mktemp)
    # Xvfb picks a free display itself and writes its number to fd 3.
    Xvfb -displayfd 3 -screen 0 "${size}x24" "$@" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        if [[ -s $fdfile ]]; then
            export DISPLAY=":$(head -n 1 "$fdfile")"
            rm -f "$fdfile"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$fdfile"
    fail "could not start Xvfb"
}

# start_ozmir [ozmir's arguments]
start_ozmir() {
    "$OZMIR" "$@" >"$ARTEFACTS/$TEST_NAME.stdout" 2>"$ARTEFACTS/$TEST_NAME.stderr" &
    OZMIR_PID=$!
    for _ in $(seq 100); do
        WINDOW=$(xdotool search --onlyvisible --name "Ozmir Simulator" 2>/dev/null | tail -n 1)
        [[ -n $WINDOW ]] && { sleep 0.5; return 0; }
        kill -0 "$OZMIR_PID" 2>/dev/null || fail "ozmir exited at start"
        sleep 0.1
    done
    fail "no ozmir window appeared"
}

# Prints "x y width height" of the program's window.
window_geometry() {
    xdotool getwindowgeometry --shell "$WINDOW" | awk -F= '
        /^X=/ {x=$2} /^Y=/ {y=$2} /^WIDTH=/ {w=$2} /^HEIGHT=/ {h=$2}
        END {print x, y, w, h}'
}

# Waits up to 3 seconds for the window to be at "x y width height".
expect_geometry() {
    local want=$1 what=$2 got
    for _ in $(seq 30); do
        got=$(window_geometry)
        [[ $got == "$want" ]] && return 0
        sleep 0.1
    done
    fail "$what: window at '$got', expected '$want'"
}

# A left double click at screen pixel (x, y).
double_click() {
    xdotool mousemove "$1" "$2" sleep 0.1 click --repeat 2 --delay 60 1
}

shot() {
    import -window root "$ARTEFACTS/$TEST_NAME-$1.png" 2>/dev/null
}

# Prints the colour of one screen pixel as "r,g,b".
pixel_at() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/^0,0: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1,\2,\3/p' | head -n 1
}

# Waits up to $1 seconds for the program to exit; sets EXIT_STATUS ("timeout" if it
# is still running).
wait_exit() {
    local limit=$1
    EXIT_STATUS=timeout
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$OZMIR_PID" 2>/dev/null; then
            wait "$OZMIR_PID"
            EXIT_STATUS=$?
            OZMIR_PID=
            return 0
        fi
        sleep 0.1
    done
}

# Waits up to $1 seconds for the program to exit, and fails unless its status is 0.
expect_exit() {
    wait_exit "$1"
    [[ $EXIT_STATUS == 0 ]] || fail "$2: exit status $EXIT_STATUS"
}

# Waits up to $1 seconds for the program to exit, and fails unless it ended by signal $2
# (TERM, INT), as a program that catches it does once it has cleaned up.
expect_signal_end() {
    wait_exit "$1"
    local want=$((128 + $(kill -l "$2")))
    [[ $EXIT_STATUS == "$want" ]] || fail "$3: exit status $EXIT_STATUS, not ended by SIG$2 ($want)"
}

# Fails unless the screen pixel at ($1, $2) is "r,g,b" $3; $4 names it.
expect_pixel() {
    local got
    got=$(pixel_at "$1" "$2")
    [[ $got == "$3" ]] || fail "$4 at ($1, $2) is $got, expected $3"
}

# Saves a region of the screen: crop NAME X Y W H.
crop() {
    import -window root -crop "${4}x${5}+${2}+${3}" +repage "$ARTEFACTS/$TEST_NAME-$1.png" 2>/dev/null
}

# Prints how many pixels differ between two saved regions.
differing_pixels() {
    compare -metric AE "$ARTEFACTS/$TEST_NAME-$1.png" "$ARTEFACTS/$TEST_NAME-$2.png" null: 2>&1 |
        sed 's/[^0-9].*//'
}
