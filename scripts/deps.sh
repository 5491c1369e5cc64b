#!/bin/bash
# Installs the Debian packages a task needs, skipping those already present,
# in one apt run.  Needs root (or sudo) only when something is missing.
#
#   scripts/deps.sh run-windows   the saver under Wine (scripts/run.sh)
#   scripts/deps.sh run-native    the X11 hack (scripts/run.sh --native)
#   scripts/deps.sh page          the page's build (Debian's emscripten), the
#                                 browser its tests run in and their driver
#   scripts/deps.sh build         what the three presets' builds need
#   scripts/deps.sh wine          what the Windows suites run in: Wine, 32-bit
#                                 Wine and its route, a virtual display
#   scripts/deps.sh release       what scripts/release.sh needs: the builds'
#                                 compilers, emscripten, Debian's and NSIS's
#                                 packaging tools
#   scripts/deps.sh               everything the test command and a release
#                                 need, 32-bit Wine and its route included
set -eu
here=$(dirname "$0")
build=(cmake make ninja-build)
native=(g++ pkg-config libx11-dev libgl-dev libglu1-mesa-dev)
scr64=(g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64)
display=(xvfb xauth libgl1 libglx-mesa0 libgl1-mesa-dri libglu1-mesa imagemagick x11-utils
  procps util-linux)
wine=(wine64 fonts-wine)
page=(emscripten chromium)
# The three presets' builds, tests and benchmarks included.
compile=(libgtest-dev googletest libbenchmark-dev g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686)
packaging=(dpkg-dev zip unzip osslsigncode openssl lintian desktop-file-utils nsis)
case "${1:-test}" in
  run-windows) "$here/install-missing.sh" "${build[@]}" "${scr64[@]}" "${display[@]}" "${wine[@]}" ;;
  run-native) "$here/install-missing.sh" "${build[@]}" "${native[@]}" "${display[@]}" ;;
  page)
    "$here/install-missing.sh" "${page[@]}" $(command -v npm >/dev/null || echo npm)
    # The page tests' browser driver from the npm registry, at the version tests/web locks.
    driver=$here/../build/web-driver
    mkdir -p "$driver" && cp "$here"/../tests/web/package*.json "$driver/"
    npm ci --prefix "$driver" --no-audit --no-fund --loglevel=error
    ;;
  build) "$here/install-missing.sh" "${build[@]}" "${native[@]}" "${scr64[@]}" "${compile[@]}" ;;
  release) "$here/install-missing.sh" "${build[@]}" "${native[@]}" "${scr64[@]}" "${compile[@]}" emscripten "${packaging[@]}" ;;
  wine)
    read -r -a i386 <<<"$("$here/wine32-setup.sh" prepare | xargs)"
    "$here/install-missing.sh" "${display[@]}" "${wine[@]}" "${i386[@]}"
    "$here/wine32-setup.sh" route
    ;;
  test)
    tests=(xsecurelock xscreensaver "${packaging[@]}")
    read -r -a i386 <<<"$("$here/wine32-setup.sh" prepare | xargs)"
    "$here/install-missing.sh" "${build[@]}" "${native[@]}" "${scr64[@]}" "${display[@]}" \
      "${compile[@]}" "${wine[@]}" "${page[@]}" $(command -v npm >/dev/null || echo npm) \
      "${tests[@]}" "${i386[@]}"
    "$here/wine32-setup.sh" route
    ;;
  *) echo "usage: $0 [run-windows|run-native|page|build|wine|release|test]" >&2; exit 2 ;;
esac
