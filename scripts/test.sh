#!/bin/bash
# Builds all three presets and runs every test suite: native, then the
# 64-bit and the 32-bit Windows builds under Wine, then a release and its
# checks.  Exits non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh" || exit 1

cleanup() {
  for p in windows-x64 windows-x86; do
    "$root/scripts/wine-session.sh" stop "$root/build/$p/wine" >/dev/null 2>&1
  done
}
trap cleanup EXIT

status=0
for preset in native windows-x64 windows-x86; do
  echo "=== configure and build: $preset"
  mkdir -p build; log="build/configure-$preset.log"
  if ! cmake --preset "$preset" >"$log" 2>&1; then
    cat "$log"; status=1; continue
  fi
  cmake --build --preset "$preset" || status=1
done

echo "=== tests: native"
ctest --preset native || status=1
echo "=== tests: windows-x64 (Wine)"
ctest --preset windows-x64 || status=1
echo "=== tests: windows-x86 (32-bit Wine)"
ctest --preset windows-x86 || status=1
# The release as users get it, built afresh: its .scr must be the ones tested above.
echo "=== release: scripts/release.sh, then tests/release/ReleaseTest.sh"
if bash scripts/release.sh; then bash tests/release/ReleaseTest.sh || status=1; else status=1; fi

if [ $status -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "SOME STEP FAILED"; fi
exit $status
