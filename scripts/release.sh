#!/bin/bash
# Makes a release of this tree in dist/: the Windows setup, the Windows zip
# with both .scr, the Debian package of the hack, the page, and SHA256SUMS of
# the four.
#
#   bash scripts/release.sh
#
# Everything is built afresh under build/release, apart from the test
# presets' trees, with SOURCE_DATE_EPOCH from the last commit: two clones of
# one commit give the same bytes (scripts/check-reproducible.sh).  The .scr
# files are built as the presets build them, so they are the files the tests
# ran; with QUILLARA_RELEASE_REUSE=1 they are copied from the presets' trees.
# With QUILLARA_SIGN_PKCS12 and QUILLARA_SIGN_PASSWORD set (see
# scripts/sign.sh) both .scr are signed before zipping, and the setup and its
# uninstaller as makensis writes them; otherwise the release is unsigned and
# says so.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh" release

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: uncommitted changes: this is not the release of commit $(git rev-parse --short HEAD)" >&2
fi
out=$root/build/release
rm -rf "$out" "$root/dist"
mkdir -p "$out" "$root/dist"
# Build output goes to a log, shown when a step fails.
log=$out/build.log
quiet() { "$@" >>"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "release: failed: $*" >&2; exit 1; }; }

# Both .scr: the win32-model compilers and Ninja, as cmake/ShippedScr.cmake
# builds them for the presets.  The test command passes QUILLARA_RELEASE_REUSE=1: then
# they are the presets' own files, which its suites ran.
for arch in x64 x86; do
  if [ "${QUILLARA_RELEASE_REUSE:-}" = 1 ]; then
    mkdir -p "$out/windows-$arch"
    cp "build/windows-$arch/quillara.scr" "$out/windows-$arch/"
    continue
  fi
  quiet cmake -G Ninja -S . -B "$out/windows-$arch" --toolchain "$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLARA_MINGW_THREADS=win32 -DQUILLARA_SCR_ONLY=ON
  quiet cmake --build "$out/windows-$arch" -j 2
done

# The page, one self-contained file, built as the web preset builds it (the
# compiler's tools need Debian's node modules, whichever node runs them), and
# before the hardening flags below are in the environment.
# With QUILLARA_RELEASE_REUSE=1 it is the web preset's, which the page's suite ran.
if [ "${QUILLARA_RELEASE_REUSE:-}" = 1 ]; then
  mkdir -p "$out/web"
  cp build/web/quillara.html "$out/web/"
else
  quiet env NODE_PATH=/usr/share/nodejs cmake -G Ninja -S . -B "$out/web" -DCMAKE_BUILD_TYPE=Release \
    --toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake -DQUILLARA_SCR_ONLY=ON
  quiet env NODE_PATH=/usr/share/nodejs cmake --build "$out/web" -j 2
fi

# The hack with Debian's hardening flags (CMake reads no CPPFLAGS), packaged.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
quiet cmake -G Ninja -S . -B "$out/native" -DCMAKE_BUILD_TYPE=None -DQUILLARA_SCR_ONLY=ON \
  "-DCMAKE_C_FLAGS=$CPPFLAGS $CFLAGS" "-DCMAKE_CXX_FLAGS=$CPPFLAGS $CXXFLAGS" \
  "-DCMAKE_EXE_LINKER_FLAGS=$LDFLAGS"
quiet cmake --build "$out/native" -j 2
quiet cpack -G DEB --config "$out/native/CPackConfig.cmake" -B "$out/native"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$out/native/CPackConfig.cmake")
deb=quillara_${version}_amd64.deb
# Debian's checks pass before anything is published; lintian's notes are shown.
if ! lintian --pedantic -I --fail-on error,warning "$out/native/$deb" >"$out/lintian.txt" 2>&1; then
  cat "$out/lintian.txt" >&2; echo "release: lintian rejects $deb" >&2; exit 1
fi
grep -v "root privileges" "$out/lintian.txt" | sed 's/^/lintian: /'
desktop=$out/native/x11/quillara.desktop
[ -z "$(desktop-file-validate --no-hints "$desktop" 2>&1)" ] ||
  { desktop-file-validate "$desktop" >&2; echo "release: the desktop file is invalid" >&2; exit 1; }
zip=quillara-$version-windows.zip

page=quillara-$version.html
cp "$out/web/quillara.html" "dist/$page"

# The zip's folder: Windows line endings for the texts, one mode and one
# time for every entry, and the entries in a fixed order.
stage=$out/zip
mkdir -p "$stage/x64" "$stage/x86"
cp "$out/windows-x64/quillara.scr" "$stage/x64/"
cp "$out/windows-x86/quillara.scr" "$stage/x86/"
if [ -n "${QUILLARA_SIGN_PKCS12:-}" ]; then
  "$root/scripts/sign.sh" "$stage/x64/quillara.scr" "$stage/x86/quillara.scr"
  echo "release: both .scr, the setup and its uninstaller signed with $QUILLARA_SIGN_PKCS12"
else
  echo "release: unsigned (set QUILLARA_SIGN_PKCS12 and QUILLARA_SIGN_PASSWORD to sign)"
fi
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf packaging/windows/README.txt "$stage/README.txt"
crlf LICENSE "$stage/LICENSE.txt"
crlf packaging/windows/install.cmd "$stage/install.cmd"
crlf packaging/windows/uninstall.cmd "$stage/uninstall.cmd"
entries=(README.txt LICENSE.txt install.cmd uninstall.cmd x64/quillara.scr x86/quillara.scr)
(cd "$stage" && chmod 644 "${entries[@]}" && touch -d "@$SOURCE_DATE_EPOCH" "${entries[@]}" &&
  zip -X -D -9 -q "$root/dist/$zip" "${entries[@]}")

# The setup holds the zip's two .scr; makensis signs what it writes through sign.sh.
setup=quillara-$version-setup.exe
sign=()
if [ -n "${QUILLARA_SIGN_PKCS12:-}" ]; then sign=("-DSIGN=$root/scripts/sign.sh"); fi
quiet makensis -V2 -DVERSION="$version" -DX64="$stage/x64/quillara.scr" -DX86="$stage/x86/quillara.scr" \
  -DOUTFILE="$root/dist/$setup" "${sign[@]}" packaging/windows/quillara.nsi

cp "$out/native/$deb" dist/
(cd dist && sha256sum "$setup" "$zip" "$deb" "$page" >SHA256SUMS)
ls -l dist/*
cat dist/SHA256SUMS
