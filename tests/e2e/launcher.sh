#!/usr/bin/env bash
# Installed and started as a user would: cmake --install into a fresh prefix, the launcher's options answer without
# Wine, the installed launcher opens a Linux path with runs of spaces and one named in CJK characters, typed text is
# saved byte-exactly with Ctrl+S, and Ctrl+Q ends it with exit code 0. Names that Windows reads as another file's
# open the very file named, or are refused in the launcher's words.
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

# Names Windows reads as another file's, each in a folder of its own with a decoy beside it. Each row:
# ARG|NAMED|DECOY|WANT: NAMED holds its own line, DECOY another; WANT is the caption (a regular expression) of a
# window that must show NAMED's line, or the launcher's message (a pattern) with exit status 2. Nothing may change.
n=0
while IFS='|' read -r arg named decoy want; do
  n=$((n + 1)) && dir=$work/names/$n && mkdir -p "$dir" && cd "$dir"
  for f in "$named" "$decoy"; do [ -z "$f" ] || { mkdir -p "$(dirname "$f")" && printf '%s %s' "$f" $n >"$f"; }; done
  before=$(find . -type f -exec md5sum {} + | sort; find . | sort)
  arg=${arg//@/$dir}
  if [[ $want = brevitor:* ]]; then
    rc=0 && timeout 20 env -u BREVITOR_EXE BREVITOR_WINEPREFIX="$build/e2e-prefix" "$prefix/bin/brevitor" "$arg" \
      < <(:) >"$work/out" 2>"$work/err" || rc=$?
    [[ "$rc|$(cat "$work/out" "$work/err")" = 2\|${want//@/$dir} ]] || e2e_fail "brevitor '$arg': $rc $(cat "$work/err")"
  else
    e2e_launch_through "$prefix/bin/brevitor" "$arg"
    for _ in $(seq 150); do win=$(xdotool search --name "$want" | head -n 1) && [ -n "$win" ] && break; sleep 0.2; done
    [ -n "$win" ] || e2e_fail "brevitor '$arg' shows no window '$want': $(cat "$shots/launcher.out")"
    e2e_focus "$win"
    e2e_key ctrl+a ctrl+c
    [ "$(xclip -selection clipboard -o)" = "$named $n" ] || e2e_fail "brevitor '$arg' shows $(xclip -selection clipboard -o)"
    e2e_key ctrl+q
    [ "$(e2e_wait_exit)" = 0 ] || e2e_fail "brevitor '$arg': $(cat "$shots/launcher.out")"
  fi
  [ "$(find . -type f -exec md5sum {} + | sort; find . | sort)" = "$before" ] || e2e_fail "brevitor '$arg' changed $dir"
done <<'EOF'
notes.txt |notes.txt |notes.txt|^NOTE~.*\.TXT$
memo.|memo.|memo|^MEMO~
dd./file.txt|dd./file.txt|dd/file.txt|^file\.txt$
back\slash.txt|back\slash.txt|back/slash.txt|^BACK~.*\.TXT$
file://@/a%20b%25.txt|a b%.txt|a%20b%25.txt|^a b%\.txt$
nul.txt|nul.txt||brevitor: cannot open @/nul.txt: its name has a part that Windows takes for the device nul, *
con|con||brevitor: cannot open @/con: its name has a part that Windows takes for the device con, *
say "hi".txt|say "hi".txt|SAY_~EKA.TXT|brevitor: cannot open @/say "hi".txt: *, and Wine maps its short name * to @/SAY_~EKA.TXT
new.txt ||new.txt|brevitor: cannot create @/new.txt : its name has a part ending in a space or a dot, *
new.txt||NEW.TXT|brevitor: cannot open @/new.txt: Wine maps Z:* to @/NEW.TXT
新.txt||_~~~~WZ1.TXT|brevitor: cannot open @/新.txt: its name has characters that *, and Wine maps its short name *
file://elsewhere/x.txt|||brevitor: file://elsewhere/x.txt names a file on another machine, elsewhere
newdir/|||brevitor: newdir/ ends in /, so it names a folder, and there is no such folder
/dev/stdin|||brevitor: /dev/stdin is not a regular file but a fifo
||x|brevitor: an empty argument names no file
EOF
cd "$work"
e2e_pass "installed launcher opened '$file' and '$cjk' (as ${short##*\\}), saved typed text byte-exactly, exit code 0; $n odd names"
