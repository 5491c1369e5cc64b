#!/bin/bash
# CTest's emulator for the Windows build: runs one program under Wine in the
# build tree's own display and prefix.  Usage: wine-run.sh STATE_DIR PROGRAM ARGS...
state=${1:?state directory}
shift
mkdir -p "$state" && state=$(cd "$state" && pwd)
here=$(dirname "$0")
DISPLAY=$("$here/wine-session.sh" ensure "$state") || exit 1
export DISPLAY
. "$here/wine-env.sh"
exec "$WINE" "$@"
