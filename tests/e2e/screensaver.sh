#!/usr/bin/env bash
# As a screensaver: ozmir draws into a window another program made, fills it and nothing
# else, follows its size, ends by SIGTERM when sent one and with status 0 when the window
# goes away. Windows it cannot draw into are refused at start with one line, unless
# XScreenSaver named them: then it ends quietly. --root alone leaves the root as it was.
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: screensaver.sh OZMIR ARTEFACTS TEST_WINDOW}

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
expect_signal_end 3 TERM "after SIGTERM"

# As XScreenSaver runs it: --root, and its window in XSCREENSAVER_WINDOW, which goes away
# while ozmir draws into it.
start_saver XSCREENSAVER_WINDOW="$(printf '0x%x' "$HOST_ID")" "$OZMIR" --root
crop again 100 100 500 350
(($(lit again) > 20)) || fail "no stars in the window named by XSCREENSAVER_WINDOW"
stop_host
expect_exit 3 "after the window went away"
[[ ! -s $ARTEFACTS/$TEST_NAME.stderr ]] || fail "stderr: $(head -c 2000 "$ARTEFACTS/$TEST_NAME.stderr")"

# Runs ozmir to its end with the given environment and arguments; sets STATUS and LINES
# (what it printed on stderr).
run_saver() {
    STATUS=0
    timeout 20 env "$@" >"$ARTEFACTS/$TEST_NAME.stdout" 2>"$ARTEFACTS/$TEST_NAME.stderr" || STATUS=$?
    LINES=$(wc -l <"$ARTEFACTS/$TEST_NAME.stderr")
}
# The window just taken away, and an InputOnly one: refused with one line naming them,
# except that XScreenSaver's own window being gone already is no one's mistake.
GONE=$(printf '0x%x' "$HOST_ID")
run_saver "$OZMIR" --window-id "$GONE"
[[ $STATUS == 2 && $LINES == 1 ]] || fail "--window-id of a lost window: status $STATUS, $LINES lines"
grep -q -- "--window-id $GONE" "$ARTEFACTS/$TEST_NAME.stderr" || fail "not named: $(cat "$ARTEFACTS/$TEST_NAME.stderr")"
run_saver XSCREENSAVER_WINDOW="$GONE" "$OZMIR" --root
[[ $STATUS == 0 && $LINES == 0 ]] || fail "XSCREENSAVER_WINDOW of a lost window: status $STATUS, $LINES lines"
start_host 200x200+0+0 input-only
INPUT_ONLY=$HOST_ID
for environment in "" "XSCREENSAVER_WINDOW=$INPUT_ONLY"; do
    if [[ -n $environment ]]; then run_saver "$environment" "$OZMIR" --root; else
        run_saver "$OZMIR" --window-id "$INPUT_ONLY"; fi
    [[ $STATUS == 2 && $LINES == 1 ]] || fail "InputOnly $environment: status $STATUS, $LINES lines"
    grep -q "InputOnly" "$ARTEFACTS/$TEST_NAME.stderr" || fail "$(cat "$ARTEFACTS/$TEST_NAME.stderr")"
done
stop_host

# A window wider than 16384 pixels is drawn in its first 16384 columns only: here the
# screen shows its columns 16000 to 17023 (few stars stray that far from the centre).
start_host 20000x200+-16000+300
start_saver "$OZMIR" --window-id "$HOST_ID"
for _ in $(seq 20); do # its first frame takes a while
    crop drawn 0 300 384 200
    [[ $(host_coloured drawn) == 0 ]] && break
    sleep 0.5
done
crop beyond 384 300 640 200
[[ $(host_coloured drawn) == 0 ]] || fail "the columns up to 16384 are not drawn"
[[ $(host_coloured beyond) == $((640 * 200)) ]] || fail "columns past 16384 are drawn"
kill -TERM "$OZMIR_PID"
expect_signal_end 3 TERM "20000 x 200 after SIGTERM"
stop_host

# A window far larger than any screen: SIGTERM is still honoured at once (the program may
# still be busy with its first frame).
start_host 20000x20000+0+0
start_saver "$OZMIR" --window-id "$HOST_ID"
kill -TERM "$OZMIR_PID"
expect_signal_end 2 TERM "20000 x 20000 after SIGTERM"
stop_host

# The real root window, without XScreenSaver: left with its own background at the end.
crop root-before 0 0 1024 768
start_saver env -u XSCREENSAVER_WINDOW "$OZMIR" --root
for _ in $(seq 20); do
    crop root 0 0 1024 768
    (($(lit root) > 50)) && break
    sleep 0.5
done
(($(lit root) > 50)) || fail "no stars on the root window"
kill -TERM "$OZMIR_PID"
expect_signal_end 3 TERM "--root after SIGTERM"
crop root-after 0 0 1024 768
[[ $(differing_pixels root-before root-after) == 0 ]] || fail "the root keeps ozmir's last frame"
echo "PASS [$TEST_NAME]"
