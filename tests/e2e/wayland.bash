# Shared by the Wayland end-to-end tests: a headless sway (software rendering, no
# XWayland) and the program under it, run as an unprivileged user when the tests run as
# root (sway refuses root), a virtual keyboard (wtype), a virtual pointer and grim.
# Usage: source wayland.bash "$@"; then start_sway SIZE SCALE, start_ozmir_wl, ...
# ($4 is the virtual-pointer client.)

OZMIR=$1
ARTEFACTS=${2:-/tmp/ozmir-e2e}
POINTER=$4
TEST_NAME=$(basename "$0" .sh)
mkdir -p "$ARTEFACTS"
WL_USER=ozmir-e2e
WORK=$(mktemp -d /tmp/ozmir-wayland.XXXXXX)
SWAY_PID=
OZMIR_PID=
KEYS_PID=
LAYOUT=

fail() {
    echo "FAIL [$TEST_NAME]: $*" >&2
    [[ -n $SWAY_PID ]] && shot "failure"
    exit 1
}

stop_sway() {
    [[ -n $OZMIR_PID ]] && kill "$OZMIR_PID" 2>/dev/null
    [[ -n $KEYS_PID ]] && kill "$KEYS_PID" 2>/dev/null
    [[ -n $SWAY_PID ]] && kill "$SWAY_PID" 2>/dev/null
    wait 2>/dev/null
    OZMIR_PID=
    KEYS_PID=
    SWAY_PID=
}

cleanup() {
    stop_sway
    rm -rf "$WORK"
}
trap cleanup EXIT

# The programs run from a folder the test user can read, with nothing but what they need
# in the environment.
if [[ $(id -u) -eq 0 ]]; then
    id -u "$WL_USER" >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin "$WL_USER" ||
        fail "cannot create the user $WL_USER"
    # setpriv replaces itself with the program, so that a program started in the
    # background has the process id that $! gives.
    AS_USER=(setpriv --reuid="$WL_USER" --regid="$WL_USER" --init-groups --)
else
    AS_USER=()
fi
cp "$OZMIR" "$WORK/ozmir"
cp "$POINTER" "$WORK/virtual-pointer"
chmod 755 "$WORK" "$WORK/ozmir" "$WORK/virtual-pointer"
mkdir -m 700 "$WORK/run"
[[ $(id -u) -eq 0 ]] && chown "$WL_USER" "$WORK/run"

# The environment of a program on the compositor, in WL: "${WL[@]}" PROGRAM ...
wl_env() {
    WL=("${AS_USER[@]}" env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$WORK/run"
        WAYLAND_DISPLAY="$WAYLAND_SOCKET")
}

wl() {
    "${WL[@]}" "$@"
}

# start_sway WIDTHxHEIGHT SCALE [WIDTHxHEIGHT]: one headless output (or a second one, at
# scale 1, to its right); the program's window floats, as on a desktop that does not tile.
start_sway() {
    local size=$1 scale=$2 second=${3:-}
    LAYOUT="$((${size%x*} / scale))x$((${size#*x} / scale))"
    cat >"$WORK/sway.conf" <<CONF
xwayland disable
output HEADLESS-1 resolution $size scale $scale position 0 0
default_border none
for_window [app_id="ozmir"] floating enable
CONF
    if [[ -n $second ]]; then
        echo "output HEADLESS-2 resolution $second position ${LAYOUT%x*} 0" >>"$WORK/sway.conf"
        local height=$((${LAYOUT#*x} > ${second#*x} ? ${LAYOUT#*x} : ${second#*x}))
        LAYOUT="$((${LAYOUT%x*} + ${second%x*}))x$height"
    fi
    chmod 644 "$WORK/sway.conf"
    rm -f "$WORK"/run/wayland-*
    "${AS_USER[@]}" env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$WORK/run" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=$((${#second} > 0 ? 2 : 1)) \
        sway -c "$WORK/sway.conf" >"$ARTEFACTS/$TEST_NAME-sway.log" 2>&1 &
    SWAY_PID=$!
    for _ in $(seq 100); do
        WAYLAND_SOCKET=$(find "$WORK/run" -name "wayland-?" -printf "%f\n" | head -n 1)
        wl_env
        [[ -n $WAYLAND_SOCKET ]] && wl grim - >/dev/null 2>&1 && return 0
        kill -0 "$SWAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    stop_sway
    fail "could not start sway (see $TEST_NAME-sway.log)"
}

# sway_msg COMMAND...: a command to the running sway, through its socket.
sway_msg() {
    local socket
    socket=$(find "$WORK/run" -name "sway-ipc.*.sock" | head -n 1)
    wl env SWAYSOCK="$socket" swaymsg "$@" >/dev/null || fail "swaymsg $*"
}

# cpu_ticks PID: the process's CPU time so far, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# keys_later KEY-ARGUMENTS...: a virtual keyboard made now, before the program starts,
# that types later (wtype's -s sleeps).
keys_later() {
    "${WL[@]}" wtype "$@" &
    KEYS_PID=$!
}

# start_ozmir_wl [ozmir's arguments]: waits until the screen (the output START_OUTPUT
# when set) shows nothing of the desktop.
start_ozmir_wl() {
    "${WL[@]}" "$WORK/ozmir" "$@" >"$ARTEFACTS/$TEST_NAME.stdout" \
        2>"$ARTEFACTS/$TEST_NAME.stderr" &
    OZMIR_PID=$!
    for _ in $(seq 100); do
        sleep 0.1
        kill -0 "$OZMIR_PID" 2>/dev/null || fail "ozmir exited at start"
        shot start "${START_OUTPUT:-}"
        [[ $(count_colour start 'rgb(63,63,63)') -eq 0 ]] && { sleep 0.3; return 0; }
    done
    fail "no ozmir window covered the screen"
}

pointer() {
    wl "$WORK/virtual-pointer" "$LAYOUT" "$@" || fail "virtual-pointer $*"
    sleep 0.3
}

double_click() {
    pointer move "$1" "$2" sleep 100 click sleep 60 click
}

drag() {
    pointer move "$1" "$2" sleep 100 down sleep 50 move "$3" "$4" sleep 50 move "$5" "$6" \
        sleep 50 up
}

# shot NAME [OUTPUT]: the whole layout, or one output.
shot() {
    wl grim ${2:+-o "$2"} - >"$ARTEFACTS/$TEST_NAME-$1.png"
}

# Prints the colour of one pixel of a saved screenshot as "r,g,b".
pixel_in() {
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
        sed -n 's/^0,0: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1,\2,\3/p' | head -n 1
}

expect_pixel_in() {
    local got
    got=$(pixel_in "$1" "$2" "$3")
    [[ $got == "$4" ]] || fail "$5: pixel ($2, $3) of $1 is $got, expected $4"
}

# How many pixels of a saved screenshot have the colour $2, in all of it or in region
# W H X Y.
count_colour() {
    local region=()
    [[ $# -eq 6 ]] && region=(-crop "${3}x${4}+${5}+${6}" +repage)
    convert "$ARTEFACTS/$TEST_NAME-$1.png" "${region[@]}" -alpha off \
        -fill black +opaque "$2" -fill white -opaque "$2" \
        -precision 12 -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# How many pixels of a saved screenshot are brighter than a quarter, in region W H X Y.
bright_pixels() {
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -alpha off -crop "${2}x${3}+${4}+${5}" +repage \
        -colorspace gray -threshold 25% \
        -precision 12 -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# crop NAME FROM W H X Y: saves a region of a saved screenshot.
crop() {
    convert "$ARTEFACTS/$TEST_NAME-$2.png" -crop "${3}x${4}+${5}+${6}" +repage \
        "$ARTEFACTS/$TEST_NAME-$1.png"
}

differing_pixels() {
    compare -metric AE "$ARTEFACTS/$TEST_NAME-$1.png" "$ARTEFACTS/$TEST_NAME-$2.png" null: 2>&1 |
        sed 's/[^0-9].*//'
}

# Waits up to $1 seconds for the program to exit; sets EXIT_STATUS ("timeout" if not).
wait_exit() {
    EXIT_STATUS=timeout
    for _ in $(seq $(($1 * 10))); do
        if ! kill -0 "$OZMIR_PID" 2>/dev/null; then
            wait "$OZMIR_PID"
            EXIT_STATUS=$?
            OZMIR_PID=
            return 0
        fi
        sleep 0.1
    done
}
