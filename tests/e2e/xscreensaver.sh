#!/usr/bin/env bash
# Under Debian's own XScreenSaver, set up as the README tells, on a display of two screens:
# activated, the daemon runs ozmir in its window on each screen and stars appear there;
# cycled or deactivated, the daemon ends ozmir by SIGTERM. Then the preview the settings
# dialog runs (--root --window-id) draws into its window.
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: xscreensaver.sh OZMIR ARTEFACTS TEST_WINDOW}
README="$(dirname "$0")/../../README.md"
SAVER_PID=
HOST_PID=
HACK_PIDS=()     # ozmir on each screen, as the daemon started it
SAVER_WINDOWS=() # and the window it was given

stop_all() {
    for pid in "${HACK_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in $SAVER_PID $HOST_PID; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [[ -n ${SCRATCH:-} ]] && rm -rf "$SCRATCH"
}
trap 'stop_all; cleanup' EXIT

# The programs line the README gives.
LINE=$(grep -o 'add the line `[^`]*`' "$README" | sed 's/^add the line `\(.*\)`$/\1/')
[[ -n $LINE ]] || fail "the README gives no programs line"
[[ $LINE == ozmir* ]] || fail "the README's programs line does not run ozmir: $LINE"

# XScreenSaver runs no hacks for root: the daemon and ozmir then run as nobody, from a
# scratch home that holds the settings and a copy of the program under test.
SCRATCH=$(mktemp -d)
chmod 755 "$SCRATCH"
mkdir -p "$SCRATCH/home" "$SCRATCH/bin"
cp "$OZMIR" "$SCRATCH/bin/ozmir"
cat >"$SCRATCH/home/.xscreensaver" <<SETTINGS
mode:		one
selected:	0
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
timeout:	1:00:00
cycle:		1:00:00
programs:	$LINE \n
SETTINGS
as_user=()
if [[ $(id -u) == 0 ]]; then
    chown -R nobody:nogroup "$SCRATCH/home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
saver() {
    "${as_user[@]}" env HOME="$SCRATCH/home" PATH="$SCRATCH/bin:/usr/bin:/bin" \
        DISPLAY="$DISPLAY" "$@"
}
LOG="$ARTEFACTS/$TEST_NAME.xscreensaver.log"

# Counts pixels brighter than dark grey in window $2 of screen $1, shot as NAME $3.
lit_in() {
    import -display "${DISPLAY%.*}.$1" -window "$2" "$ARTEFACTS/$TEST_NAME-$3.png" 2>/dev/null ||
        { echo 0; return 0; }
    convert "$ARTEFACTS/$TEST_NAME-$3.png" -colorspace gray -threshold 20% \
        -format "%[fx:round(mean*w*h)]" info:
}

start_xvfb 1024x768 -screen 1 640x480x24
saver xscreensaver -no-splash -verbose >"$LOG" 2>&1 &
SAVER_PID=$!
for _ in $(seq 100); do
    saver xscreensaver-command -version >/dev/null 2>&1 && break
    kill -0 "$SAVER_PID" 2>/dev/null || fail "xscreensaver did not start: $(tail -n 5 "$LOG")"
    sleep 0.1
done

# Waits until xscreensaver-gfx has logged, for each screen S, a new launch of the programs
# line: "S: forked "ozmir --root" in pid N on window 0xW"; sets HACK_PIDS and SAVER_WINDOWS.
await_launches() {
    local screen launched old=("${HACK_PIDS[@]}")
    for screen in 0 1; do
        launched=
        for _ in $(seq 100); do
            launched=$(grep -o "$screen: forked \"$LINE\" in pid [0-9]* on window 0x[0-9a-f]*" "$LOG" |
                tail -n 1)
            [[ -n $launched && $(awk '{print $(NF - 3)}' <<<"$launched") != "${old[$screen]:-}" ]] && break
            launched=
            sleep 0.1
        done
        [[ -n $launched ]] || fail "xscreensaver did not run '$LINE' on screen $screen: $(grep -i 'ozmir\|hack' "$LOG" | tail -n 5)"
        HACK_PIDS[$screen]=$(awk '{print $(NF - 3)}' <<<"$launched")
        SAVER_WINDOWS[$screen]=$(awk '{print $NF}' <<<"$launched")
    done
}

# Waits up to 5 s for each process given to be gone, reaped by its parent; $1 names the moment.
await_end() {
    local moment=$1 pid
    shift
    for pid in "$@"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && fail "ozmir still runs 5 s after $moment"
    done
    return 0
}

saver xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
await_launches

for screen in 0 1; do
    stars=0
    for _ in $(seq 20); do
        stars=$(lit_in "$screen" "${SAVER_WINDOWS[$screen]}" "activated-$screen")
        ((stars > 30)) && break
        kill -0 "${HACK_PIDS[$screen]}" 2>/dev/null ||
            fail "ozmir ended under xscreensaver: $(grep ozmir "$LOG" | tail -n 5)"
        sleep 0.5
    done
    ((stars > 30)) || fail "no stars in XScreenSaver's window on screen $screen ($stars lit pixels)"
done
# And on the screen, where XScreenSaver's window lies above the real root.
crop screen 0 0 1024 768
(($(convert "$ARTEFACTS/$TEST_NAME-screen.png" -colorspace gray -threshold 20% \
    -format "%[fx:round(mean*w*h)]" info:) > 30)) || fail "no stars on the screen"

# Cycling, the daemon stops this ozmir by SIGTERM and starts another; it reports a hack
# that did not end by that signal ("exited abnormally with status 0").
first=("${HACK_PIDS[@]}")
saver xscreensaver-command -cycle >/dev/null 2>&1 || fail "xscreensaver-command -cycle failed"
await_launches
await_end "the cycle" "${first[@]}"
sleep 0.5
grep "abnormally" "$LOG" && fail "xscreensaver saw ozmir end abnormally"

saver xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
await_end "the deactivation" "${HACK_PIDS[@]}"
HACK_PIDS=()
grep "^ozmir" "$LOG" && fail "ozmir complained under xscreensaver"

# The preview of the settings dialog: its window named after --root.
start_host 320x240+600+400
env -u XSCREENSAVER_WINDOW "$OZMIR" --root --window-id "$(printf '0x%x' "$HOST_ID")" \
    >"$ARTEFACTS/$TEST_NAME.stdout" 2>"$ARTEFACTS/$TEST_NAME.stderr" &
OZMIR_PID=$!
uncovered=
for _ in $(seq 20); do
    sleep 0.5
    kill -0 "$OZMIR_PID" 2>/dev/null || fail "the preview ended: $(cat "$ARTEFACTS/$TEST_NAME.stderr")"
    crop preview 600 400 320 240
    uncovered=$(convert "$ARTEFACTS/$TEST_NAME-preview.png" -fill black +opaque "rgb(32,64,96)" \
        -fill white -opaque "rgb(32,64,96)" -format "%[fx:round(mean*w*h)]" info:)
    ((uncovered == 0)) && break
done
((uncovered == 0)) || fail "the preview does not cover its window ($uncovered pixels of its own colour)"
(($(convert "$ARTEFACTS/$TEST_NAME-preview.png" -colorspace gray -threshold 20% \
    -format "%[fx:round(mean*w*h)]" info:) > 10)) || fail "no stars in the preview"
kill -TERM "$OZMIR_PID"
wait_exit 3
[[ $EXIT_STATUS == 143 ]] || fail "the preview after SIGTERM: exit status $EXIT_STATUS, not by the signal"
[[ ! -s $ARTEFACTS/$TEST_NAME.stderr ]] || fail "stderr: $(head -c 2000 "$ARTEFACTS/$TEST_NAME.stderr")"
echo "PASS [$TEST_NAME]"
