#!/usr/bin/env bash
# Format as a user sets it: a large font from the font dialog and a red background from the colour
# dialog; the screenshot is checked by sampling its pixels.
source "$(dirname "$0")/lib.sh"

# pixel X Y: the screenshot's colour there as "R,G,B".
pixel() { convert "$shots/format.png" -format "%[fx:int(255*u.p{$1,$2}.r)],%[fx:int(255*u.p{$1,$2}.g)],%[fx:int(255*u.p{$1,$2}.b)]" info:; }

e2e_start_display
e2e_launch
win=$(e2e_window Untitled)
e2e_focus "$win"
e2e_type "Big"
e2e_key ctrl+f
font=$(e2e_window Font)
e2e_focus "$font"
e2e_type "DejaVu Sans Mono"
e2e_key alt+s ctrl+a BackSpace BackSpace
e2e_type "36"
e2e_key Return
e2e_key ctrl+b
color=$(e2e_window Color)
# The second row of basic colours starts with pure red.
xdotool mousemove --window "$color" 22 75 click 1
sleep 0.3
e2e_key Return
sleep 0.5
e2e_shot format

# The pane's empty area and the cells behind the text take the chosen background.
[ "$(pixel 500 400)" = "255,0,0" ] || e2e_fail "background at 500,400 is $(pixel 500 400)"
[ "$(pixel 600 60)" = "255,0,0" ] || e2e_fail "background beside the text is $(pixel 600 60)"
# The text itself: its glyphs' bounding box on the red, as a 36-point font draws them.
rows=$(convert "$shots/format.png" -crop 300x100+4+42 +repage -fuzz 20% -trim -format "%h" info:)
[ "${rows:-0}" -ge 25 ] || e2e_fail "text is only ${rows:-0} pixels high"
e2e_quit_answering n
e2e_pass "red background and a ${rows}-pixel-high font, kept in $shots/format.png"
