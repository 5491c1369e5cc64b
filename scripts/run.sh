#!/bin/bash
# Builds the saver and runs it under Wine, or natively as an X11 hack.
#
#   scripts/run.sh [switch ...]             default: /s (full screen)
#   scripts/run.sh --native [option ...]    the hack; options as in quillara(6x)
#
# Examples: scripts/run.sh /c opens the configuration dialog; scripts/run.sh /s
# runs the full-screen saver, which ends on a key press or mouse movement;
# scripts/run.sh --native --fps opens the hack's own window with the frame
# rate shown, where q or Escape ends it.
#
# With a display ($DISPLAY set) the saver runs there until it ends and this
# script exits with its exit code.  Without one it runs on a private virtual
# display for a few seconds, saves a screenshot to build/screenshot.png
# (natively: build/screenshot-native.png, the hack drawing on the root
# window), prints its path, ends the saver and tears the display down.
#
# It installs only what running needs (scripts/deps.sh run-windows or
# run-native) and builds the program alone under build/run/.
#
# Environment: QUILLARA_SCR runs that program instead of building the saver,
# QUILLARA_HACK likewise for --native; QUILLARA_RUN_SECONDS sets how long the
# headless run lasts (default 4).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# build_program TREE [CMAKE_ARGUMENT...]: the program alone, without tests,
# which would need packages that running does not.
build_program() {
  local tree=$1
  shift
  mkdir -p "$tree"
  if ! cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARA_SCR_ONLY=ON "$@" \
    >"$tree/configure.log" 2>&1; then
    cat "$tree/configure.log" >&2
    return 1
  fi
  cmake --build "$tree" --target quillara -j 2
}

# The native hack, run without Wine.
run_native() {
  local program=${QUILLARA_HACK:-}
  if [ -z "$program" ]; then
    "$root/scripts/deps.sh" run-native || exit 1
    build_program build/run/native || exit 1
    program="$root/build/run/native/quillara"
  fi
  [ -x "$program" ] || { echo "run.sh: $program is missing" >&2; exit 1; }
  if [ -n "${DISPLAY:-}" ]; then
    exec "$program" "$@"
  fi

  # No display: a private Xvfb (it names its display on descriptor 3 once
  # ready), the hack on its root window for a few seconds, and a picture.
  local ready server hack status=0 screenshot="$root/build/screenshot-native.png"
  ready=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" </dev/null >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 1 100); do [ -s "$ready" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n 1 "$ready")"
  rm -f "$ready"
  if [ "$DISPLAY" = ":" ]; then
    echo "run.sh: Xvfb did not start" >&2
    kill "$server" 2>/dev/null
    exit 1
  fi
  "$program" --root "$@" </dev/null &
  hack=$!
  sleep "${QUILLARA_RUN_SECONDS:-4}"
  if ! import -display "$DISPLAY" -window root "$screenshot"; then
    echo "run.sh: no screenshot could be taken" >&2
  fi
  if kill -0 "$hack" 2>/dev/null; then
    kill "$hack"
    wait "$hack" || status=$?
  else
    wait "$hack"
    status=$?
    echo "run.sh: the hack ended early with exit code $status" >&2
  fi
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  [ -f "$screenshot" ] && echo "$screenshot"
  exit $status
}

if [ "${1:-}" = "--native" ]; then
  shift
  run_native "$@"
fi

if [ $# -eq 0 ]; then set -- /s; fi

program=${QUILLARA_SCR:-}
if [ -z "$program" ]; then
  "$root/scripts/deps.sh" run-windows || exit 1
  build_program build/run/windows-x64 --toolchain "$root/cmake/mingw-x64.cmake" \
    -DQUILLARA_MINGW_THREADS=win32 || exit 1
  program="$root/build/run/windows-x64/quillara.scr"
fi
[ -f "$program" ] || { echo "run.sh: $program is missing" >&2; exit 1; }

state="$root/build/run-wine"
mkdir -p "$state"
. "$root/scripts/wine-env.sh"

if [ -n "${DISPLAY:-}" ]; then
  # The user's own display: the saver runs until the user ends it.
  [ -d "$WINEPREFIX/drive_c" ] || "$WINE" wineboot -i </dev/null >/dev/null 2>&1
  add_wine_fonts
  exec "$WINE" "$program" "$@"
fi

# No display: a private Xvfb and Wine session, a short run and a picture.
stop_session() { "$root/scripts/wine-session.sh" stop "$state" >/dev/null 2>&1; }
DISPLAY=$("$root/scripts/wine-session.sh" ensure "$state") || { stop_session; exit 1; }
export DISPLAY
trap stop_session EXIT

"$WINE" "$program" "$@" </dev/null &
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
