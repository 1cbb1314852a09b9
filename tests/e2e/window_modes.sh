#!/usr/bin/env bash
# Switching between full screen and the 800 x 600 window, dragging it, and closing it by
# its own button, through the real program under a real X server.
source "$(dirname "$0")/lib.bash" "$@"

# The window's pixels on the X server equal the program's own image: the recorder's
# window mode beside the real one, all but the stars' view, which moves in real time.
RECORD=$(dirname "$OZMIR")/ozmir-record
printf '1 keydown Return\n2 keyup Return\n40 screenshot window.png\n' >"$ARTEFACTS/$TEST_NAME.script"
"$RECORD" --screen 1024x768 --script "$ARTEFACTS/$TEST_NAME.script" --out "$ARTEFACTS" >/dev/null ||
    fail "the recorder did not run"
convert "$ARTEFACTS/window.png" -crop 800x600+112+84 +repage -fill black \
    -draw "rectangle 8,8 792,506" "$ARTEFACTS/$TEST_NAME-recorded.png"
# expect_window_as_recorded X Y WHEN
expect_window_as_recorded() {
    crop shown "$1" "$2" 800 600
    mogrify -fill black -draw "rectangle 8,8 792,506" "$ARTEFACTS/$TEST_NAME-shown.png"
    local differ
    differ=$(differing_pixels shown recorded)
    [[ $differ == 0 ]] || fail "$3: $differ pixels of the window differ from the recorder's"
}

start_xvfb 1024x768
start_ozmir

expect_geometry "0 0 1024 768" "at start"

double_click 500 400
expect_geometry "112 84 800 600" "after a double click"
sleep 0.5
shot window
# The border, the panel's grey and a logo line where the layout puts them.
expect_pixel 112 84 "214,203,163" "border corner"
expect_pixel 512 676 "128,128,128" "panel background"
expect_pixel 132 595 "214,203,163" "logo line"

double_click 500 400
expect_geometry "0 0 1024 768" "after a second double click"

xdotool key --window "$WINDOW" Return
expect_geometry "112 84 800 600" "after Enter"
sleep 0.5
expect_window_as_recorded 112 84 "after Enter"

# Drag by the bare strip below the sliders: the window follows the pointer.
xdotool mousemove 412 680 sleep 0.1 mousedown 1 sleep 0.1 mousemove 432 690 sleep 0.1 \
    mousemove 452 700 sleep 0.1 mouseup 1
expect_geometry "152 104 800 600" "after a left drag"
# The right button does not drag.
xdotool mousemove 452 700 sleep 0.1 mousedown 3 sleep 0.1 mousemove 402 650 sleep 0.1 mouseup 3
sleep 0.3
expect_geometry "152 104 800 600" "after a right drag"
shot dragged
expect_window_as_recorded 152 104 "after the drag"

# The close button at the window's top right ends the program.
xdotool mousemove $((152 + 795)) $((104 + 4)) sleep 0.1 click 1
expect_exit 2 "after the close button"
echo "PASS [$TEST_NAME]"
