#!/usr/bin/env bash
# A held file appended to, renamed over and removed from Linux, through the installed launcher: coming back from the
# desktop asks whether to read what is there (not for a removed file), and No keeps the pane; Ctrl+S asks;
# Cancel keeps their bytes and stops a Ctrl+Q whose save was asked for; OK writes the text into the file at the path,
# which is held from then on.
source "$(dirname "$0")/lib.sh"
e2e_start_display
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || e2e_fail "cmake --install failed"
file=$work/notes.txt
bytes() { cat "$file" 2>/dev/null || echo '<none>'; }
answer() { e2e_focus "$(e2e_window '???')"; e2e_key "$1"; }
# The desktop, then the pane, as a user clicks them: two clicks sent at once can reach Wine in either order.
come_back() { xdotool mousemove 900 700 click 1 sleep 0.5 mousemove 300 300 click 1; sleep 0.5; }

printf 'original' >"$file"
e2e_launch_through "$work/prefix/bin/brevitor" "$file"
win=$(e2e_window notes.txt)
for change in 'printf more >>"$file"' 'printf theirs >"$work/t" && mv "$work/t" "$file"' 'rm "$file"'; do
  eval "$change"
  theirs=$(bytes)
  come_back
  [ "$theirs" = '<none>' ] || answer n
  e2e_focus "$win"
  e2e_key ctrl+a
  e2e_type "after $change"
  e2e_key ctrl+s
  answer Escape
  [ "$(bytes)" = "$theirs" ] || e2e_fail "Cancel after '$change' left '$(bytes)'"
  if [ "$theirs" = originalmore ]; then
    e2e_key ctrl+q
    answer y      # the save prompt: Yes, then Cancel in the question, and the program goes on
    answer Escape
    e2e_window notes.txt >/dev/null   # fails if Ctrl+Q went ahead
  fi
  e2e_focus "$win"
  e2e_key ctrl+s
  answer Return
  for _ in $(seq 25); do [ "$(bytes)" = "after $change" ] && break; sleep 0.2; done
  [ "$(bytes)" = "after $change" ] || e2e_fail "OK after '$change' left '$(bytes)'"
  "$WINE" cmd /c "echo x>>$(winpath "$file")" 2>&1 | grep -q 'Sharing violation' || e2e_fail "not held after '$change'"
done
e2e_focus "$win"
e2e_key ctrl+q
code=$(e2e_wait_exit)
[ "$code" = 0 ] || e2e_fail "Ctrl+Q after the last save ended with $code (a prompt would mean the text was unsaved)"
e2e_pass "append, rename, removal from Linux: Cancel kept their bytes and stopped Ctrl+Q; OK wrote the text there, held"
