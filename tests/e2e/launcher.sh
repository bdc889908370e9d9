#!/usr/bin/env bash
# Installed and started as a user would: cmake --install into a fresh prefix, the installed launcher opens a Linux
# path with runs of spaces, typed text is saved byte-exactly with Ctrl+S, and Ctrl+Q ends it with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_start_display
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || e2e_fail "cmake --install: $(cat "$work/install.log")"
for f in bin/brevitor lib/brevitor/brevitor.exe share/applications/brevitor.desktop \
         share/icons/hicolor/32x32/apps/brevitor.png; do
  [ -s "$prefix/$f" ] || e2e_fail "the install has no $f"
done
[ -x "$prefix/bin/brevitor" ] || e2e_fail "bin/brevitor is not executable"
grep -qx 'MimeType=text/plain;' "$prefix/share/applications/brevitor.desktop" || e2e_fail "the desktop entry does not open text files"

mkdir -p "$work/x  y"
file="$work/x  y/my  notes.txt"
printf 'First line\r\n' >"$file"
# The launcher must run the installed program, not the build's: BREVITOR_EXE is CTest's, so it is dropped.
rm -f "$shots/exit-code"
( env -u BREVITOR_EXE BREVITOR_WINEPREFIX="$build/e2e-prefix" "$prefix/bin/brevitor" "$file" \
    </dev/null >"$work/launcher.out" 2>&1
  echo $? >"$shots/exit-code" ) &
e2e_app=$!
win=$(e2e_window "my  notes.txt")
e2e_focus "$win"
e2e_key ctrl+End
e2e_type "Typed here"
e2e_key Return
e2e_type "and saved."
e2e_key ctrl+s
expected=$work/expected
printf 'First line\r\nTyped here\r\nand saved.' >"$expected"
for _ in $(seq 25); do cmp -s "$expected" "$file" && break; sleep 0.2; done
e2e_shot launcher
cmp -s "$expected" "$file" || e2e_fail "the file holds $(od -c "$file" | head -5)"
e2e_key ctrl+q
code=$(e2e_wait_exit)
[ "$code" = 0 ] || e2e_fail "the launcher ended with exit code $code: $(cat "$work/launcher.out")"
e2e_pass "installed launcher opened '$file', saved the typed text byte-exactly, and ended with exit code 0"
