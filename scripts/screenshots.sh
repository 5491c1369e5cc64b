#!/bin/bash
# Takes the pictures in docs/: the saver running full screen (docs/saver.png)
# and the configuration dialog (docs/dialog.png), from the 64-bit build under
# Wine on a virtual display of its own, which is stopped again afterwards;
# a few seconds of the native hack in motion (docs/quillara.gif), on a
# virtual display of its own too; and the page in headless Chromium
# (docs/page.png).
#
#   scripts/screenshots.sh       (after building the windows-x64, native and web presets)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
scr="$root/build/windows-x64/quillara.scr"
hack="$root/build/native/quillara"
page="$root/build/web/quillara.html"
state="$root/build/screenshots-wine"
docs="$root/docs"
if [ ! -f "$scr" ] || [ ! -x "$hack" ] || [ ! -f "$page" ]; then
  echo "screenshots: $scr, $hack or $page is missing; build the windows-x64, native and web presets first" >&2
  exit 1
fi

display=$("$root/scripts/wine-session.sh" ensure "$state") || exit 1
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  "$root/scripts/wine-session.sh" stop "$state" >/dev/null 2>&1
}
trap cleanup EXIT

export DISPLAY="$display"
. "$root/scripts/wine-env.sh"
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

# Starts the saver with switch $1 (may be empty), waits for the window titled
# $2, lets it run $3 seconds, takes the screen into $shot/$4 and ends it.
take_picture() {
  "$WINE" "$scr" $1 </dev/null >/dev/null 2>&1 &
  local program=$!
  pids+=("$program")
  wait_for_window "$2" 30 || echo "screenshots: the window \"$2\" did not appear" >&2
  sleep "$3"
  import -window root "$shot/$4"
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
}

# The saver, full screen, after a few seconds of motion.
take_picture /s "Screen Saver" 5 saver.png
convert "$shot/saver.png" -resize 50% "$docs/saver.png"

# The configuration dialog (no switch), cropped from the black root window.
take_picture "" "Quillara!" 2 dialog.png
convert "$shot/dialog.png" -trim +repage "$docs/dialog.png"

# The native hack on the root of a 640 x 512 display (the world's proportions),
# nine balls or more for a lively picture, grabbed for four seconds; the GIF
# plays at the pace the frames were taken.
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 640x512x24 -nolisten tcp 3>"$ready" </dev/null >/dev/null 2>&1 &
server=$!
pids+=("$server")
for _ in $(seq 1 100); do [ -s "$ready" ] && break; sleep 0.1; done
native=":$(head -n 1 "$ready")"
rm -f "$ready"
DISPLAY="$native" "$hack" --root --min-balls 9 </dev/null >/dev/null 2>&1 &
pids+=("$!")
sleep 1
frames=0
start=$(date +%s%N)
elapsed_ms=0
while [ $elapsed_ms -lt 4000 ]; do
  import -display "$native" -window root "$shot/frame-$(printf %03d $frames).png" || break
  frames=$((frames + 1))
  sleep 0.02
  elapsed_ms=$((($(date +%s%N) - start) / 1000000))
done
[ $frames -gt 0 ] || { echo "screenshots: the hack could not be grabbed" >&2; exit 1; }
delay_cs=$(((elapsed_ms / frames + 5) / 10))
convert -delay "$delay_cs" -loop 0 "$shot"/frame-*.png -layers Optimize "$docs/quillara.gif"

# The page in a wide 800 x 450 window, nine balls or more, after two seconds
# of the browser's own (virtual) time.
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --disable-quic \
  --user-data-dir="$shot/chromium" --window-size=800,450 --virtual-time-budget=2000 \
  --screenshot="$docs/page.png" "file://$page?min-balls=9" >/dev/null 2>&1 ||
  echo "screenshots: the page could not be taken" >&2

rm -rf "$shot"
echo "screenshots: wrote $docs/saver.png, $docs/dialog.png, $docs/quillara.gif and" \
  "$docs/page.png ($frames frames in $elapsed_ms ms)"
