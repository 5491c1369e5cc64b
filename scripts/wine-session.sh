#!/bin/bash
# Brings up, or tears down, the private Wine environment of one build tree:
# an Xvfb display of its own, a Wine prefix and a persistent wineserver.
#
#   wine-session.sh ensure STATE_DIR [win32|win64]   start what is missing, print DISPLAY
#   wine-session.sh stop   STATE_DIR                 stop the wineserver and the display
#   wine-session.sh pristine win32|win64             print a new prefix's folder, to copy
#
# The prefix's architecture (win64 unless given) is recorded in STATE_DIR.
# A new prefix is a copy of the pristine one of its architecture, made once
# under build/wine-pristine: copying takes a second, making one half a
# minute, and through QEMU far more.  Tests that need a fresh prefix of their
# own copy it too.
#
# Tests and the run script share this; the locks keep concurrent callers from
# starting two displays or making a prefix twice.
set -u
action=${1:?action}
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints the pristine prefix of architecture $1, making it first if need be.
pristine() {
  local dir=$root/build/wine-pristine/$1 state
  mkdir -p "${dir%/*}"
  exec 8>"$dir.lock"
  flock 8
  if [ ! -f "$dir/.quillara-ready" ]; then
    rm -rf "$dir" "$dir.state" && mkdir -p "$dir.state" && echo "$1" >"$dir.state/arch"
    (
      state=$dir.state && . "$root/scripts/wine-env.sh" && export WINEPREFIX=$dir && unset DISPLAY
      "$WINE" wineboot -i </dev/null >"$dir.state/wineboot.log" 2>&1 8>&-
      # Unmanaged windows: otherwise destroying a top-level window waits on
      # the absent window manager for two seconds.
      "$WINE" 'C:\windows\system32\reg.exe' add 'HKCU\Software\Wine\X11 Driver' \
        /v Managed /d N /f </dev/null >>"$dir.state/wineboot.log" 2>&1 8>&-
      add_wine_fonts
      "$WINESERVER" -w 8>&-
    ) || exit 1
    # Debian's Wine notes there where its server's socket lies; a copy makes its own.
    rm -rf "$dir.state" "$dir/wineserver"
    touch "$dir/.quillara-ready"
  fi
  exec 8>&-
  echo "$dir"
}
if [ "$action" = pristine ]; then
  pristine "${2:?architecture}"
  exit
fi

state=${2:?state directory}
mkdir -p "$state"
state=$(cd "$state" && pwd)
if [ -n "${3:-}" ]; then echo "$3" >"$state/arch"; fi

. "$root/scripts/wine-env.sh"

display_alive() {
  [ -f "$state/xvfb.pid" ] && [ -f "$state/display" ] &&
    kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
  # Xvfb picks a free display itself and writes its number to the pipe.  It
  # also renders OpenGL for programs that ask it to (indirect rendering).
  local fifo="$state/displayfd"
  rm -f "$fifo" && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac +extension GLX +iglx \
    3>"$fifo" </dev/null >"$state/xvfb.log" 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
  local n=""
  read -r -t 10 n <"$fifo"
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "wine-session: Xvfb did not start" >&2
    return 1
  fi
  echo ":$n" >"$state/display"
}

ensure() {
  exec 9>"$state/lock"
  flock 9
  if ! display_alive; then
    rm -f "$state/server-ready"
    start_display || exit 1
  fi
  export DISPLAY
  DISPLAY=$(cat "$state/display")
  if [ ! -f "$WINEPREFIX/.quillara-ready" ]; then
    local from
    from=$(pristine "$WINEARCH") 9>&- || exit 1
    rm -rf "$WINEPREFIX" && cp -a "$from" "$WINEPREFIX" || exit 1
  fi
  if [ ! -f "$state/server-ready" ]; then
    # A persistent server with no inherited pipes: without it every test
    # process waits seconds for the server to come and go.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&-
    "$WINE" 'C:\windows\system32\cmd.exe' /c exit </dev/null >/dev/null 2>&1 9>&-
    touch "$state/server-ready"
  fi
  echo "$DISPLAY"
}

stop() {
  exec 9>"$state/lock"
  flock 9
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 9>&-
  if display_alive; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  fi
  rm -f "$state/xvfb.pid" "$state/display" "$state/server-ready"
}

case "$action" in
  ensure) ensure ;;
  stop) stop ;;
  *) echo "usage: $0 ensure|stop STATE_DIR" >&2; exit 2 ;;
esac
