#!/usr/bin/env bash
# One session as a user flies it: stars, help, speed and look read-outs, window mode and
# every control of the panel, and back to full screen. A screenshot of every step is kept.
source "$(dirname "$0")/lib.bash" "$@"

start_xvfb 1024x768
start_ozmir
view_changes() { # view_changes NAME: two crops of the star view 0.3 s apart differ?
    crop "$1-a" "$2" "$3" "$4" "$5"
    sleep 0.3
    crop "$1-b" "$2" "$3" "$4" "$5"
    [[ $(differing_pixels "$1-a" "$1-b") -gt 0 ]]
}
lit_pixels() { # lit_pixels NAME: pixels of a saved region that are not black
    convert "$ARTEFACTS/$TEST_NAME-$1.png" -fill white +opaque black -fill black -opaque black \
        -format '%[fx:round(mean*w*h)]' info:
}

# 1. Stars appear and stream.
sleep 1.5
shot 1-stars
crop stars 0 60 1024 600
[[ $(lit_pixels stars) -gt 30 ]] || fail "no stars after start"
view_changes stream 0 60 1024 600 || fail "the stars do not move"

# 2. F1 shows the help in the middle of the screen, a second F1 hides it.
help=(411 211 201 345)
crop help-off "${help[@]}"
xdotool key --window "$WINDOW" F1
sleep 1.5
shot 2-help
crop help-on "${help[@]}"
xdotool key --window "$WINDOW" F1
sleep 0.3
crop help-hidden "${help[@]}"
[[ $(lit_pixels help-on) -gt $(($(lit_pixels help-off) + 300)) ]] || fail "F1 showed no help"
[[ $(lit_pixels help-hidden) -lt $(($(lit_pixels help-on) - 300)) ]] || fail "F1 did not hide the help"

# 3. R raises the speed, and the speed bar shows while it does.
xdotool keydown --window "$WINDOW" r
sleep 0.8
shot 3-speed
expect_pixel 297 697 "255,255,255" "the speed bar's outline"
expect_pixel 301 710 "214,203,163" "the speed bar's fill"
xdotool keyup --window "$WINDOW" r

# 4. A turns the look to the left, and the dials show it.
xdotool keydown --window "$WINDOW" a
sleep 0.6
shot 4-look
crop dial 830 660 72 72
xdotool keyup --window "$WINDOW" a
[[ $(lit_pixels dial) -gt 100 ]] || fail "no look dial while A is held"

# 5. Window mode: the speed label and slider show the raised speed (not the start's 5.0).
double_click 500 400
sleep 0.8
read -r wx wy _ < <(window_geometry)
[[ "$wx $wy" == "112 84" ]] || fail "window mode not reached (window at $wx,$wy)"
shot 5-window
crop speed-label $((wx + 170)) $((wy + 554)) 33 18
convert -size 33x18 xc:"rgb(128,128,128)" "$ARTEFACTS/$TEST_NAME-grey.png"
[[ $(differing_pixels speed-label grey) -gt 10 ]] || fail "the speed label is empty"

# 6. Presses in the speed slider's track left of the thumb step it down to its lowest place,
# a stop: the view stands still.
for _ in $(seq 12); do
    xdotool mousemove $((wx + 7 + 18)) $((wy + 581)) sleep 0.05 click 1 sleep 0.1
done
sleep 0.3
shot 6-stopped
view_changes still $((wx + 8)) $((wy + 8)) 785 499 && fail "the view still moves at the slowest speed"

# 7. Dragging the arrow turns the view towards it. The flight stands still, so the view
# changes only by turning; the turn may be over within a few frames, so the view is
# compared with how it was before the drag.
ax=$((wx + 717 + 36)) ay=$((wy + 517 + 36))
crop arrow-before $((wx + 717)) $((wy + 517)) 73 73
crop turning-a $((wx + 8)) $((wy + 8)) 785 499
xdotool mousemove $ax $ay sleep 0.1 mousedown 1 sleep 0.1 mousemove $((ax + 10)) $ay sleep 0.1 mouseup 1
sleep 0.5
crop arrow-after $((wx + 717)) $((wy + 517)) 73 73
crop turning-b $((wx + 8)) $((wy + 8)) 785 499
[[ $(differing_pixels arrow-before arrow-after) -gt 20 ]] || fail "the arrow did not turn"
[[ $(differing_pixels turning-a turning-b) -gt 0 ]] || fail "the view does not turn towards the arrow"
shot 7-arrow
sleep 2 # let the look arrive

# 8. The joystick turns the flight and its knob springs back; the wheel spins the flight.
jx=$((wx + 541 + 36)) jy=$((wy + 517 + 36))
crop stick-rest $((wx + 541)) $((wy + 517)) 73 73
xdotool mousemove $jx $jy sleep 0.1 mousedown 1 sleep 0.1 mousemove $((jx + 20)) $jy sleep 0.2
view_changes joystick $((wx + 8)) $((wy + 8)) 785 499 || fail "the joystick does not turn the view"
shot 8-joystick
xdotool mouseup 1
sleep 0.5
crop stick-back $((wx + 541)) $((wy + 517)) 73 73
[[ $(differing_pixels stick-rest stick-back) -eq 0 ]] || fail "the knob did not spring back"
sx=$((wx + 629 + 36)) sy=$((wy + 517 + 9))
xdotool mousemove $sx $sy sleep 0.1 mousedown 1 sleep 0.1 mousemove $((sx + 30)) $sy sleep 0.2
view_changes wheel $((wx + 8)) $((wy + 8)) 785 499 || fail "the wheel does not spin the view"
shot 8-wheel
xdotool mouseup 1
sleep 0.5

# 9. Holding the speed slider's right button raises the speed in its label; every other
# slider moves with a press in its track.
crop speed-before $((wx + 170)) $((wy + 554)) 33 18
xdotool mousemove $((wx + 7 + 200)) $((wy + 581)) sleep 0.1 mousedown 1 sleep 1.5 mouseup 1
sleep 0.3
crop speed-after $((wx + 170)) $((wy + 554)) 33 18
[[ $(differing_pixels speed-before speed-after) -gt 10 ]] || fail "the held button did not raise the speed"
for slider in "stars 236 571 288" "sens 383 528 141" "bright 236 528 139"; do
    read -r name x y w <<<"$slider"
    crop "$name-before" $((wx + x)) $((wy + y)) "$w" 21
    xdotool mousemove $((wx + x + 20)) $((wy + y + 10)) sleep 0.1 click 1
    sleep 0.3
    crop "$name-after" $((wx + x)) $((wy + y)) "$w" 21
    [[ $(differing_pixels "$name-before" "$name-after") -gt 20 ]] || fail "the $name slider did not move"
done
shot 9-sliders

# 10. Back to full screen, then Esc.
double_click $((wx + 400)) $((wy + 250))
sleep 0.8
read -r x y w h < <(window_geometry)
[[ "$x $y $w $h" == "0 0 1024 768" ]] || fail "not back to full screen"
shot 10-fullscreen
xdotool key --window "$WINDOW" Escape
expect_exit 2 "after Esc"
echo "PASS [$TEST_NAME]"
