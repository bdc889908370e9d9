#!/usr/bin/env bash
# Saving as a user does it: type, Ctrl+S through the real Save As dialog, then edit, Ctrl+Q and
# answer Yes to the save prompt; the file's bytes are checked on disk after each save.
source "$(dirname "$0")/lib.sh"
dir=$(mktemp -d)
e2e_start_display
trap 'e2e_cleanup; rm -rf "$dir"' EXIT
e2e_launch
win=$(e2e_window Untitled)
e2e_focus "$win"
e2e_type "first line"
e2e_key Return
e2e_type "second"
e2e_key ctrl+s
dialog=$(e2e_window "Save As")
e2e_focus "$dialog"
e2e_type "$(winpath "$dir/letter")"
e2e_key Return
win=$(e2e_window letter.brv)
e2e_shot saved
[ "$(od -An -c "$dir/letter.brv" | tr -s ' ')" = "$(printf 'first line\r\nsecond' | od -An -c | tr -s ' ')" ] \
  || e2e_fail "after Save As the file holds: $(od -c "$dir/letter.brv")"

e2e_focus "$win"
e2e_key ctrl+a
e2e_type "replaced"
e2e_quit_answering y
[ "$(cat "$dir/letter.brv")" = "replaced" ] && [ "$(stat -c %s "$dir/letter.brv")" = 8 ] \
  || e2e_fail "after the prompt the file holds: $(od -c "$dir/letter.brv")"
e2e_pass "Save As wrote the typed bytes; Yes at the prompt rewrote the file in place to exactly 8 bytes"
