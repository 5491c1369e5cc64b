#!/bin/bash
# CTest's emulator for the Windows build: runs one program under Wine in the
# build tree's own display and prefix.
# Usage: wine-run.sh STATE_DIR win32|win64 PROGRAM ARGS...
state=${1:?state directory}
arch=${2:?prefix architecture}
shift 2
mkdir -p "$state" && state=$(cd "$state" && pwd)
here=$(dirname "$0")
DISPLAY=$("$here/wine-session.sh" ensure "$state" "$arch") || exit 1
export DISPLAY
. "$here/wine-env.sh"
exec "$WINE" "$@"
