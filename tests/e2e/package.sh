#!/usr/bin/env bash
# Packaged and started as a user would: script/package makes the .deb and the .zip for this build's arch; lintian
# finds nothing in the .deb, which, extracted with dpkg-deb -x into a temporary root, opens a file through its own
# launcher and saves it byte-exactly.
source "$(dirname "$0")/lib.sh"
e2e_start_display
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT

bash "$(dirname "$0")/../../script/package" "$BREVITOR_ARCH" "$work/packages" >"$work/package.log" 2>&1 ||
  e2e_fail "script/package: $(tail -n 20 "$work/package.log")"
deb=$(echo "$work"/packages/brevitor_*.deb)
zip=$(echo "$work"/packages/brevitor-*.zip)
[ -s "$deb" ] && [ -s "$zip" ] || e2e_fail "script/package made $(ls "$work/packages")"
wine=wine64
[ "$BREVITOR_ARCH" = x86_64 ] || wine=wine32
[ "$(dpkg-deb -f "$deb" Depends)" = "wine, $wine" ] || e2e_fail "the .deb depends on '$(dpkg-deb -f "$deb" Depends)'"
# Every tag lintian knows, experimental and pedantic ones included, must stay silent.
tags=$(lintian -I -E --pedantic "$deb" 2>"$work/lintian.err") && [ -z "$tags" ] ||
  e2e_fail "lintian: $tags $(cat "$work/lintian.err")"

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/brevitor usr/lib/brevitor/brevitor.exe usr/lib/brevitor/wine-env \
         usr/share/applications/brevitor.desktop usr/share/icons/hicolor/32x32/apps/brevitor.png; do
  [ -s "$root/$f" ] || e2e_fail "the .deb has no /$f"
done
# The .zip is for Windows users: the same program, the text that says how to run it, the licence with CR LF.
top=$work/zip/$(basename "$zip" .zip)
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
[ "$(ls -A "$work/zip" | wc -l) $(LC_ALL=C ls -A "$top" | tr '\n' ' ')" = "1 LICENSE.txt README.txt brevitor.exe " ] ||
  e2e_fail "the .zip holds $(cmake -E tar tf "$zip")"
sed 's/$/\r/' "$(dirname "$0")/../../LICENSE" | cmp -s - "$top/LICENSE.txt" ||
  e2e_fail "the .zip's LICENSE.txt is not LICENSE with CR LF: $(od -c "$top/LICENSE.txt" | head -3)"
cmp -s "$top/brevitor.exe" "$root/usr/lib/brevitor/brevitor.exe" ||
  e2e_fail "the .zip's brevitor.exe differs from the .deb's"

file="$work/from the package.txt"
printf 'Packaged\r\n' >"$file"

# A new user's first start, in a fresh HOME, then two starts after an update is forced as a Wine upgrade forces it.
# The update rewrites the prefix's files in place, through any link, so a launcher that let it meet the links would
# write into Wine's own files. As root the first two starts see /usr through an overlay that keeps such writes apart,
# harmless, and fails on them; the last runs as the caller is, and Wine's files must stay as they were.
home=$work/home
sizes=
trap 'e2e_cleanup; WINEPREFIX=$home/.local/share/brevitor/wineprefix "$WINESERVER" -k 2>/dev/null || true; rm -rf "$work"' EXIT
wine_files() { find /usr/lib/wine /usr/lib/*/wine /usr/share/wine -printf '%p %s %T@\n' | sort; }
wine_files >"$work/wine.before"
mkdir "$work/usr-writes" "$work/overlay"
guard=()
if [ "$(id -u)" = 0 ]; then
  guard=(unshare -m bash -c 'mount -t overlay -o "lowerdir=/usr,upperdir=$0/usr-writes,workdir=$0/overlay" x /usr &&
    exec "$@"' "$work")
  "${guard[@]}" true || e2e_fail "root cannot lay an overlay on /usr for the launcher's first starts"
fi
fresh_start() {
  local prefix=$home/.local/share/brevitor/wineprefix pid size
  "$@" env -u BREVITOR_EXE -u BREVITOR_WINEPREFIX -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/brevitor" "$file" \
    </dev/null >"$work/fresh.log" 2>&1 &
  pid=$!
  e2e_window "$(basename "$file")" 90 >/dev/null
  flock "$prefix.flock" true  # the launcher links Wine's files while the editor starts
  WINEPREFIX=$prefix "$WINESERVER" -k
  wait "$pid" || true
  size=$(du -sm "$prefix" | cut -f1)
  [ "$size" -le 80 ] || e2e_fail "the prefix takes $size MB: $(cat "$work/fresh.log")"
  [ -z "$(find "$work/usr-writes" ! -type d | head -n 3)" ] ||
    e2e_fail "Wine wrote into its own files (kept apart): $(find "$work/usr-writes" ! -type d | head -n 3)"
  printf 1 >"$prefix/.update-timestamp"
  sizes+=" $size MB"
}
fresh_start "${guard[@]}"
fresh_start "${guard[@]}"
fresh_start
wine_files | diff "$work/wine.before" - >&2 || e2e_fail "Wine's own files changed; apt-get install --reinstall them"
e2e_edit_through "$root/usr/bin/brevitor" "$file" "from the package.txt"
e2e_pass "a first start in a fresh HOME, and two after forced updates, left prefixes of$sizes; $(basename "$deb") ($(stat -c %s "$deb") bytes) extracted: its launcher opened and saved '$file'; $(basename "$zip") ($(stat -c %s "$zip") bytes) holds brevitor.exe, README.txt and LICENSE.txt"
