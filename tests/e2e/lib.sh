# Sourced by the end-to-end tests: the real brevitor.exe under Xvfb in a Wine virtual desktop, typed at with xdotool.
# Needs BREVITOR_EXE and BREVITOR_BUILD_DIR (CTest sets them). Screenshots go to $BREVITOR_BUILD_DIR/e2e-shots.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../script/wine-env" >/dev/null
exe=${BREVITOR_EXE:?}
build=${BREVITOR_BUILD_DIR:?}
shots=$build/e2e-shots
mkdir -p "$shots"
e2e_xvfb=
e2e_app=

e2e_fail() { echo "FAIL: $*" >&2; e2e_shot "failure-$(basename "$0" .sh)" || true; exit 1; }
e2e_pass() { echo "PASS: $*"; }

# Windows form of a Linux path: Wine maps / to Z:.
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

e2e_cleanup() {
  [ -z "$e2e_app" ] || kill "$e2e_app" 2>/dev/null || true
  wine_use "$build/e2e-prefix"; "$WINESERVER" -k 2>/dev/null || true
  [ -z "$e2e_xvfb" ] || kill "$e2e_xvfb" 2>/dev/null || true
}

# Starts Xvfb on a free display and makes every window of the e2e prefix open in one virtual desktop,
# which draws frames and gives keyboard focus without a window manager.
e2e_start_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  e2e_xvfb=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  trap e2e_cleanup EXIT
  wine_prefix "$build/e2e-prefix"
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
}

# e2e_launch [TAIL...]: starts the editor in the background; its exit code is written to $shots/exit-code.
e2e_launch() {
  rm -f "$shots/exit-code"
  ( "$WINE" "$exe" "$@" </dev/null >/dev/null 2>&1; echo $? >"$shots/exit-code" ) &
  e2e_app=$!
}

# e2e_window CAPTION [SECONDS]: waits up to SECONDS (30) for a window with exactly this caption and prints its X id.
e2e_window() {
  local id= pattern
  pattern=$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$1")
  for _ in $(seq $((${2:-30} * 5))); do
    id=$(xdotool search --name "^$pattern\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || e2e_fail "no window captioned '$1'"
  echo "$id"
}

# e2e_focus ID: gives the window keyboard focus before typing.
e2e_focus() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
  sleep 0.3
}

e2e_type() { xdotool type --delay 30 "$1"; sleep 0.3; }
e2e_key() { xdotool key --delay 50 "$@"; sleep 0.3; }

e2e_shot() { import -window root "$shots/$1.png"; echo "screenshot: $shots/$1.png"; }

# e2e_wait_exit: waits up to 20 s for the editor to end and prints its exit code.
e2e_wait_exit() {
  for _ in $(seq 100); do [ -s "$shots/exit-code" ] && break; sleep 0.2; done
  [ -s "$shots/exit-code" ] || e2e_fail "the editor did not end"
  e2e_app=
  cat "$shots/exit-code"
}

# e2e_quit_answering KEY: Ctrl+Q on modified text, KEY (y or n) at the save prompt; the editor must end with 0.
e2e_quit_answering() {
  local prompt code
  e2e_key ctrl+q
  prompt=$(e2e_window '???')
  e2e_focus "$prompt"
  e2e_key "$1"
  code=$(e2e_wait_exit)
  [ "$code" = 0 ] || e2e_fail "exit code $code"
}

# e2e_launch_through LAUNCHER FILE [ENV ARGS...]: starts the editor in the background through an installed launcher,
# in the e2e prefix (ENV ARGS go to env); its exit code is written to $shots/exit-code, its output to launcher.out.
e2e_launch_through() {
  local launcher=$1 file=$2
  shift 2
  rm -f "$shots/exit-code"
  # BREVITOR_EXE is CTest's: dropped, so the launcher runs the program it was installed with.
  ( env -u BREVITOR_EXE "$@" BREVITOR_WINEPREFIX="$build/e2e-prefix" "$launcher" "$file" \
      </dev/null >"$shots/launcher.out" 2>&1
    echo $? >"$shots/exit-code" ) &
  e2e_app=$!
}

# e2e_edit_through LAUNCHER FILE CAPTION [ENV ARGS...]: starts the editor on an existing FILE the way a user does,
# through an installed launcher (in the e2e prefix; ENV ARGS go to env), waits for CAPTION, types two lines after
# the file's text, saves with Ctrl+S, checks the bytes on disk and quits with Ctrl+Q: the launcher must end with 0.
e2e_edit_through() {
  local launcher=$1 file=$2 caption=$3 expected win code
  shift 3
  expected=$(mktemp)
  cp "$file" "$expected"
  printf 'Typed here\r\nand saved.' >>"$expected"
  e2e_launch_through "$launcher" "$file" "$@"
  win=$(e2e_window "$caption")
  e2e_focus "$win"
  e2e_key ctrl+End
  e2e_type "Typed here"
  e2e_key Return
  e2e_type "and saved."
  e2e_key ctrl+s
  for _ in $(seq 25); do cmp -s "$expected" "$file" && break; sleep 0.2; done
  e2e_shot "$(basename "$0" .sh)-${caption//[^A-Za-z0-9]/_}"
  cmp -s "$expected" "$file" || e2e_fail "$file holds $(od -c "$file" | head -5)"
  rm -f "$expected"
  e2e_key ctrl+q
  code=$(e2e_wait_exit)
  [ "$code" = 0 ] || e2e_fail "the launcher ended with exit code $code: $(cat "$shots/launcher.out")"
}
