#!/usr/bin/env bash
# Installed and started as a user would: cmake --install into a fresh prefix, the installed launcher opens a Linux
# path with runs of spaces and one named in CJK characters, typed text is saved byte-exactly with Ctrl+S, and Ctrl+Q
# ends it with exit code 0.
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
e2e_edit_through "$prefix/bin/brevitor" "$file" "my  notes.txt"

# A name the ANSI code page cannot carry goes by its short name, whatever the Linux locale (C here, the hardest).
cjk="$work/x  y/文档 笔记.txt"
printf 'Erste Zeile \xe4\xf6\r\n' >"$cjk"
short=$(LC_ALL=C.UTF-8 "$WINE" winepath -s "$(winpath "$cjk")" | tr -d '\r')
[[ ${short##*\\} = *~*.TXT ]] || e2e_fail "Wine gives '$cjk' no short name: '$short'"
e2e_edit_through "$prefix/bin/brevitor" "$cjk" "${short##*\\}" -u LANG -u LC_CTYPE -u LANGUAGE LC_ALL=C
[ "$(ls -A "$work/x  y" | wc -l)" = 2 ] || e2e_fail "the folder holds $(ls -A "$work/x  y")"
e2e_pass "installed launcher opened '$file' and '$cjk' (as ${short##*\\}), saved typed text byte-exactly, exit code 0"
