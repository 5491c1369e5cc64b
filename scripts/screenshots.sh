#!/bin/bash
# Takes the pictures in docs/: the saver running full screen (docs/saver.png)
# and the configuration dialog (docs/dialog.png), from the 64-bit build under
# Wine on a virtual display of its own, which is stopped again afterwards.
#
#   scripts/screenshots.sh            (after building the windows-x64 preset)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
scr="$root/build/windows-x64/quillara.scr"
state="$root/build/screenshots-wine"
docs="$root/docs"
if [ ! -f "$scr" ]; then
  echo "screenshots: $scr is missing; build the windows-x64 preset first" >&2
  exit 1
fi

display=$("$root/scripts/wine-session.sh" ensure "$state") || exit 1
# Wine's own fonts (Marlett for the caption buttons, MS Sans Serif for the
# dialog) are packaged apart from Wine and not found by it on their own.
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/* "$state/prefix/drive_c/windows/Fonts/" 2>/dev/null
fi
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  "$root/scripts/wine-session.sh" stop "$state" >/dev/null 2>&1
}
trap cleanup EXIT

export DISPLAY="$display"
export WINEPREFIX="$state/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
mkdir -p "$docs"
shot=$(mktemp -d)

# Waits up to $2 seconds for a top-level X window named $1.
wait_for_window() {
  for _ in $(seq 1 $(($2 * 10))); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"$1\"" && return 0
    sleep 0.1
  done
  return 1
}

# The saver, full screen, after a few seconds of motion.
"$wine" "$scr" /s </dev/null >/dev/null 2>&1 &
pids+=($!)
saver=$!
wait_for_window "Screen Saver" 30 || echo "screenshots: the saver window did not appear" >&2
sleep 5
import -window root "$shot/saver.png"
kill "$saver" 2>/dev/null
wait "$saver" 2>/dev/null
convert "$shot/saver.png" -resize 50% "$docs/saver.png"

# The configuration dialog (no switch), cropped from the black root window.
"$wine" "$scr" </dev/null >/dev/null 2>&1 &
pids+=($!)
dialog=$!
wait_for_window "Quillara!" 30 || echo "screenshots: the dialog did not appear" >&2
sleep 2
import -window root "$shot/dialog.png"
kill "$dialog" 2>/dev/null
wait "$dialog" 2>/dev/null
convert "$shot/dialog.png" -trim +repage "$docs/dialog.png"

rm -rf "$shot"
echo "screenshots: wrote $docs/saver.png and $docs/dialog.png"
