#!/usr/bin/env bash
# The editor as a user meets it: an untitled window, typed text in the pane, Ctrl+Q ends it with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_start_display
e2e_launch
win=$(e2e_window Untitled)
e2e_focus "$win"
e2e_type "Hello from the keyboard"
e2e_shot typing
# The pane's text, read back through the clipboard the way a user would copy it.
e2e_key ctrl+a ctrl+c
copied=$(xclip -selection clipboard -o 2>/dev/null || xsel -b -o 2>/dev/null || true)
[ "$copied" = "Hello from the keyboard" ] || e2e_fail "pane holds '$copied'"
# The text is modified, so quitting asks first; No discards it.
e2e_quit_answering n
e2e_pass "typed text appeared; Ctrl+Q ended the editor with exit code 0"
