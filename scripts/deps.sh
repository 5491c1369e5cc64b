#!/bin/bash
# Installs the Debian packages that building, testing and running need,
# skipping those already present.  Needs root (or sudo) only when something
# is missing.
set -eu
packages=(
  cmake make g++ pkg-config
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 fonts-wine xvfb xauth libgl1 libglx-mesa0 libgl1-mesa-dri libglu1-mesa
  libx11-dev libgl-dev libglu1-mesa-dev
  imagemagick x11-utils procps util-linux
  xsecurelock
  dpkg-dev zip unzip osslsigncode openssl lintian desktop-file-utils
)
"$(dirname "$0")/install-missing.sh" "${packages[@]}"
# The 32-bit Windows build's tests: 32-bit Wine and Mesa, and an i386 emulator where needed.
"$(dirname "$0")/wine32-setup.sh"
