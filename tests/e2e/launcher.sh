#!/usr/bin/env bash
# Installed and started as a user would: cmake --install into a fresh prefix, the launcher's options answer without
# Wine, the installed launcher opens a Linux path with runs of spaces and one named in CJK characters, typed text is
# saved byte-exactly with Ctrl+S, and Ctrl+Q ends it with exit code 0.
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

# Options need neither Wine nor a display and leave nothing behind: an empty folder, no prefix, no DISPLAY. After --,
# --help is the file, so the launcher goes on as far as wanting a display. Each row: ARGS|CODE|STDOUT|STDERR (2 lines).
mkdir "$work/empty"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
while IFS='|' read -r args code out err; do
  rc=0
  (cd "$work/empty" && env -u DISPLAY BREVITOR_WINEPREFIX="$work/none" "$prefix/bin/brevitor" $args \
    >"$work/out" 2>"$work/err") || rc=$?
  got="$rc|$(head -n 1 "$work/out")|$(head -n 2 "$work/err" | paste -sd ' ')"
  [ "$got" = "$code|$out|$err" ] || e2e_fail "brevitor $args gave $got"
done <<EOF
--help|0|Usage: brevitor [--] [FILE]|
-h|0|Usage: brevitor [--] [FILE]|
--version|0|brevitor $version|
--bogus|2||brevitor: unknown option --bogus Usage: brevitor [--] [FILE]
-- --help|1||brevitor: no X display (DISPLAY is not set)
EOF
[ -z "$(ls -A "$work/empty")" ] && [ ! -e "$work/none" ] || e2e_fail "options left $(ls -A "$work/empty" "$work/none")"

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
