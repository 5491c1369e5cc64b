#!/bin/bash
# Builds the saver and runs it under Wine.
#
#   scripts/run.sh [switch ...]      default: /s (full screen)
#
# Examples: scripts/run.sh /c opens the configuration dialog; scripts/run.sh /s
# runs the full-screen saver, which ends on a key press or mouse movement.
#
# With a display ($DISPLAY set) the saver runs there until it ends and this
# script exits with its exit code.  Without one it runs on a private virtual
# display for a few seconds, saves a screenshot to build/screenshot.png,
# prints its path, ends the saver and tears the display down.
#
# Environment: QUILLARA_SCR runs that program instead of building the saver;
# QUILLARA_RUN_SECONDS sets how long the headless run lasts (default 4).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ $# -eq 0 ]; then set -- /s; fi

program=${QUILLARA_SCR:-}
if [ -z "$program" ]; then
  "$root/scripts/deps.sh" || exit 1
  mkdir -p build
  if ! cmake --preset windows-x64 >build/configure-windows-x64.log 2>&1; then
    cat build/configure-windows-x64.log >&2
    exit 1
  fi
  cmake --build --preset windows-x64 --target quillara_scr || exit 1
  program="$root/build/windows-x64/quillara.scr"
fi
[ -f "$program" ] || { echo "run.sh: $program is missing" >&2; exit 1; }

state="$root/build/run-wine"
mkdir -p "$state"
export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64

# Wine's own fonts (Marlett for caption buttons, MS Sans Serif for the dialog)
# are packaged apart from Wine and not found by it on their own.
add_wine_fonts() {
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  # The user's own display: the saver runs until the user ends it.
  [ -d "$WINEPREFIX/drive_c" ] || "$wine" wineboot -i </dev/null >/dev/null 2>&1
  add_wine_fonts
  exec "$wine" "$program" "$@"
fi

# No display: a private Xvfb and Wine session, a short run and a picture.
stop_session() { "$root/scripts/wine-session.sh" stop "$state" >/dev/null 2>&1; }
DISPLAY=$("$root/scripts/wine-session.sh" ensure "$state") || { stop_session; exit 1; }
export DISPLAY
trap stop_session EXIT
add_wine_fonts

"$wine" "$program" "$@" </dev/null &
saver=$!
sleep "${QUILLARA_RUN_SECONDS:-4}"

screenshot="$root/build/screenshot.png"
if ! import -display "$DISPLAY" -window root "$screenshot"; then
  echo "run.sh: no screenshot could be taken" >&2
fi

status=0
if kill -0 "$saver" 2>/dev/null; then
  kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
else
  # The saver ended on its own before the picture: report how.
  wait "$saver"
  status=$?
  echo "run.sh: the saver ended early with exit code $status" >&2
fi
[ -f "$screenshot" ] && echo "$screenshot"
exit $status
