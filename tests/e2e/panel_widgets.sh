#!/usr/bin/env bash
# The panel's widgets answer a real mouse: holding the speed slider's right button raises
# the speed shown in its label, and the joystick's knob springs back after a drag.
source "$(dirname "$0")/lib.bash" "$@"

start_xvfb 1024x768
start_ozmir
xdotool mousemove 500 400 sleep 0.1 click --repeat 2 --delay 60 1
sleep 1
read -r wx wy _ < <(window_geometry)
[[ "$wx $wy" == "112 84" ]] || fail "window mode not reached (window at $wx,$wy)"

# lblSpeed at (170, 554), 33 x 18; the speed slider's right button at the right end of
# picScr (7, 571, 208 x 21).
crop speed-before $((wx + 170)) $((wy + 554)) 33 18
crop slider-before $((wx + 7)) $((wy + 571)) 208 21
xdotool mousemove $((wx + 7 + 200)) $((wy + 571 + 10)) sleep 0.1 mousedown 1 sleep 1.5 mouseup 1
sleep 0.3
crop speed-after $((wx + 170)) $((wy + 554)) 33 18
crop slider-after $((wx + 7)) $((wy + 571)) 208 21
shot slider-held
[[ $(differing_pixels speed-before speed-after) -gt 10 ]] || fail "the speed label did not change"
[[ $(differing_pixels slider-before slider-after) -gt 50 ]] || fail "the slider's thumb did not move"

# The joystick on picDir (541, 517), 73 x 73: grab the knob at the centre, push it, let go.
crop stick-rest $((wx + 541)) $((wy + 517)) 73 73
cx=$((wx + 541 + 36)) cy=$((wy + 517 + 36))
xdotool mousemove $cx $cy sleep 0.1 mousedown 1 sleep 0.1 mousemove $((cx + 10)) $((cy - 5)) \
    sleep 0.1 mousemove $((cx + 25)) $((cy - 10)) sleep 0.3
crop stick-pushed $((wx + 541)) $((wy + 517)) 73 73
shot stick-pushed
xdotool mouseup 1
sleep 0.8
crop stick-back $((wx + 541)) $((wy + 517)) 73 73
[[ $(differing_pixels stick-rest stick-pushed) -gt 50 ]] || fail "the knob did not move"
[[ $(differing_pixels stick-rest stick-back) -eq 0 ]] || fail "the knob did not spring back"

xdotool key --window "$WINDOW" Escape
wait_exit 2
[[ $EXIT_STATUS == 0 ]] || fail "after Esc: exit status $EXIT_STATUS"
echo "PASS [$TEST_NAME]"
