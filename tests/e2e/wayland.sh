#!/usr/bin/env bash
# The program on a Wayland desktop without X11 (headless sway, software rendering): full
# screen with stars, F1, a double click into window mode, a slider's drag, a move by the
# background, a double click back, Esc; then on an output at scale 2 the close button, a
# rest on a workspace nobody sees, the screensaver modes refused, and a compositor that
# goes away.
set -uo pipefail
source "$(dirname "$0")/wayland.bash" "$@"
GREY=128,128,128

start_sway 1280x720 1
# The keyboard exists before the program: F1 at 2.5 s, Esc at the end of the flight.
keys_later -s 2500 -k F1 -s 14000 -k Escape
start_ozmir_wl
[[ $(bright_pixels start 1280 720 0 0) -gt 100 ]] || fail "no stars full screen"
help_before=$(bright_pixels start 300 330 490 190)
sleep 2.5
shot help
[[ $(bright_pixels help 300 330 490 190) -gt $((help_before + 300)) ]] ||
    fail "F1 showed no key help"

# Window mode: 800 x 600, centred on the 1280 x 720 output, grey around the view.
double_click 640 360
shot window
expect_pixel_in window 244 300 "$GREY" "window mode's grey frame"
expect_pixel_in window 100 100 63,63,63 "the desktop beside the window"
outside=$(($(count_colour window 'rgb(63,63,63)') -
    $(count_colour window 'rgb(63,63,63)' 800 600 240 60)))
[[ $outside -eq $((1280 * 720 - 800 * 600)) ]] ||
    fail "the window is not 800 x 600 at (240, 60)"

# The speed thumb dragged to the right, beyond the slider and back: its label changes.
crop speed-before window 120 20 330 612
drag 316 640 360 640 380 700
shot dragged
crop speed-after dragged 120 20 330 612
[[ $(differing_pixels speed-before speed-after) -gt 20 ]] || fail "the speed label did not change"
[[ $(bright_pixels dragged 800 500 240 60) -gt 0 ]] || fail "no stars in window mode"

# A drag on the grey background moves the window with the pointer, by the compositor.
drag 244 300 200 330 144 350
shot moved
expect_pixel_in moved 144 350 "$GREY" "the grey frame after the move"
expect_pixel_in moved 1000 500 63,63,63 "the desktop where the window was"

# A double click on the view, now at (140, 110), goes back to full screen.
double_click 540 360
shot back
[[ $(count_colour back 'rgb(63,63,63)') -eq 0 ]] || fail "full screen does not cover the output"
[[ $(count_colour back "rgb($GREY)") -lt 100 ]] || fail "the panel is still shown"

wait_exit 20
[[ $EXIT_STATUS == 0 ]] || fail "Esc: exit status $EXIT_STATUS"
grep -q . "$ARTEFACTS/$TEST_NAME.stderr" &&
    fail "messages on a clean flight: $(cat "$ARTEFACTS/$TEST_NAME.stderr")"
stop_sway

# Scale 2: the logical layout is 1280 x 800, every buffer has twice the pixels, and the
# panel is the one of scale 1, each pixel a 2 x 2 square.
crop panel-1 window 470 85 240 570
start_sway 2560x1600 2
start_ozmir_wl
[[ $(bright_pixels start 2560 1600 0 0) -gt 100 ]] || fail "no stars full screen at scale 2"
double_click 640 400
shot window-2
expect_pixel_in window-2 $((244 * 2)) $((300 * 2)) "$GREY" "window mode's frame at scale 2"
crop panel-2 window-2 940 170 480 1220
convert "$ARTEFACTS/$TEST_NAME-panel-1.png" -scale 200% "$ARTEFACTS/$TEST_NAME-panel-1x2.png"
[[ $(differing_pixels panel-1x2 panel-2) -eq 0 ]] || fail "the panel at scale 2 is not crisp"

# The close button at the window's top right (795, 4) ends the flight, as Esc does.
pointer move $((240 + 795)) $((100 + 4)) sleep 100 click
wait_exit 10
[[ $EXIT_STATUS == 0 ]] || fail "the close button: exit status $EXIT_STATUS"
start_ozmir_wl

# On a workspace nobody sees, the compositor draws none of the flight, and the flight
# rests: it draws nothing and its CPU time all but stops. Back on its workspace, the
# stars move again.
busy=$(cpu_ticks "$OZMIR_PID")
sleep 2
busy=$(($(cpu_ticks "$OZMIR_PID") - busy))
sway_msg workspace 2
sleep 1
idle=$(cpu_ticks "$OZMIR_PID")
sleep 2
idle=$(($(cpu_ticks "$OZMIR_PID") - idle))
echo "CPU ticks in 2 s: $busy on its workspace, $idle on another one"
[[ $idle -le 4 && $busy -gt $((idle * 5)) ]] ||
    fail "on another workspace: $idle ticks of CPU in 2 s (on its own: $busy)"
sway_msg workspace 1
shot shown-again
sleep 0.5
shot shown-later
[[ $(differing_pixels shown-again shown-later) -gt 0 ]] ||
    fail "the stars stand still back on their workspace"

# A compositor that goes away ends the program with its cause.
kill "$SWAY_PID"
SWAY_PID=
wait_exit 10
[[ $EXIT_STATUS == 1 ]] || fail "compositor gone: exit status $EXIT_STATUS"
grep -q "connection to the Wayland compositor was lost" "$ARTEFACTS/$TEST_NAME.stderr" ||
    fail "compositor gone: no message"

# Two outputs: --display counts them, and full screen covers the one asked for.
start_sway 800x600 1 1024x768
for display in 0 1; do
    START_OUTPUT=HEADLESS-$((display + 1)) start_ozmir_wl --display $display
    shot display-0 HEADLESS-1
    shot display-1 HEADLESS-2
    other=$((1 - display))
    [[ $(bright_pixels display-$display 800 600 0 0) -gt 100 &&
        $(bright_pixels display-$other 800 600 0 0) -eq 0 ]] ||
        fail "--display $display: the flight is not on output $display alone"
    kill "$OZMIR_PID"
    wait_exit 10
    [[ $EXIT_STATUS == 143 ]] || fail "--display $display, SIGTERM: exit status $EXIT_STATUS, not ended by SIGTERM"
done

# The screensaver modes need X11: one line, exit status 2.
for option in --root "--window-id 0x400001"; do
    # shellcheck disable=SC2086
    wl "$WORK/ozmir" $option >/dev/null 2>"$WORK/err"
    status=$?
    [[ $status == 2 && $(wc -l <"$WORK/err") == 1 ]] ||
        fail "$option under Wayland: exit $status, '$(cat "$WORK/err")'"
    grep -q "needs an X11 display" "$WORK/err" || fail "$option: $(cat "$WORK/err")"
done
echo "PASS [$TEST_NAME]"
