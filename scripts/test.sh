#!/bin/bash
# The test command: installs what is missing, builds the three presets and the
# page, runs every suite, makes a release and checks it.  Exits non-zero on
# any failure.
#
# The builds start once their compilers are in; Wine and the 32-bit route,
# then the rest of the packages, arrive meanwhile, ahead of the builds (the
# 32-bit suite waits for them, not for the builds).  Three lanes share the
# machine's two cores.  The 32-bit suite, the longest (under emulation it
# starts every program through QEMU), runs in one after its build and beside
# the making of its Wine prefix.  Another runs the other builds, makes the
# release from the files the suites run and checks it; the third runs the
# 64-bit and native suites and the setup in the 32-bit prefix.  The setup in
# the 64-bit prefix goes to whichever of the first two is free first.
# Each step's output goes to build/logs/STEP.log, shown when the step fails;
# at the end a table gives each step's start and length.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
begin=$(date +%s)
logs=$root/build/logs
rm -rf "$logs"
mkdir -p "$logs"

say() { echo "[$(($(date +%s) - begin)) s] $*"; }

# step NAME COMMAND...: runs the command into NAME.log; NAME.status holds its
# exit code, start and length in seconds.
step() {
  local name=$1 start status
  shift
  start=$(date +%s)
  say "$name"
  "$@" >"$logs/$name.log" 2>&1
  status=$?
  echo "$status $((start - begin)) $(($(date +%s) - start))" >"$logs/$name.status"
  if [ $status -ne 0 ]; then
    say "$name FAILED with $status; the end of build/logs/$name.log:"
    tail -n 80 "$logs/$name.log"
  fi
  return $status
}

# claim NAME: true for the first lane to ask, which then runs that step.
claim() { mkdir "$logs/$1.claim" 2>/dev/null; }

# after NAME: waits for a step of another lane; true if it passed.
after() {
  while [ ! -f "$logs/$1.status" ]; do sleep 1; done
  [ "$(cut -d' ' -f1 "$logs/$1.status")" = 0 ]
}

# CMake cannot switch a tree's generator: a tree another one made is made anew
# (its Wine session, which a step beside may be using, stays).
build() {
  if [ -f "build/$1/CMakeCache.txt" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "build/$1/CMakeCache.txt"; then
    find "build/$1" -mindepth 1 -maxdepth 1 ! -name wine -exec rm -rf {} +
  fi
  cmake --preset "$1" && cmake --build --preset "$1" ${2:+--target "$2"}
}
session() { scripts/wine-session.sh ensure "build/$1/wine" "$2" >/dev/null; }

cleanup() {
  kill $(jobs -p) 2>/dev/null
  for p in windows-x64 windows-x86; do scripts/wine-session.sh stop "build/$p/wine" >/dev/null 2>&1; done
}
trap cleanup EXIT

step deps-build scripts/deps.sh build || exit 1
# As root the installs go first; without, nice only says it cannot.
(step deps-wine nice -n -10 scripts/deps.sh wine; step deps nice -n -10 scripts/deps.sh) &

# Steps that run 32-bit Windows programs take the 32-bit route: also the
# 64-bit prefix's making (its 32-bit half), the zip's scripts (the 32-bit
# cmd) and the setup, a 32-bit program.
route32() { scripts/i386-route.sh "$@"; }
prefix() { after deps-wine && step "prefix-$1" route32 bash -c "$(declare -f session); session windows-$1 $2"; }

# The 32-bit lane.
(
  prefix x86 win32 &
  step build-x86 build windows-x86 || exit 1
  wait $! && step test-x86 route32 ctest --preset windows-x86
  ! claim setup-win64 || { after release && step setup-win64 route32 bash tests/release/SetupTest.sh win64; }
) &

# The 64-bit suite once its prefix is made, the native one once all packages
# are in, then the setup in the 32-bit prefix once the release is made.
(
  prefix x64 win64 && after build-x64 && step test-x64 ctest --preset windows-x64
  after deps && after build-native && step test-native ctest --preset native
  after release && step setup-win32 route32 bash tests/release/SetupTest.sh win32
) &

# Everything else: the builds, the page, the release and its checks.
step build-native build native
step build-x64 build windows-x64
after deps && step build-page bash -c "$(declare -f build); build web quillara_page" &&
  after build-x86 && step release env QUILLARA_RELEASE_REUSE=1 scripts/release.sh
[ -f "$logs/release.status" ] || echo "1 0 0" >"$logs/release.status"  # so none waits for it
after deps && step test-page bash tests/web/run.sh
after release && step release-test route32 bash tests/release/ReleaseTest.sh
! claim setup-win64 || { after release && step setup-win64 route32 bash tests/release/SetupTest.sh win64; }
wait
echo
printf '%-14s %6s %6s  %s\n' step start secs result
for f in "$logs"/*.status; do
  read -r status start secs <"$f"
  printf '%-14s %6s %6s  %s\n' "$(basename "$f" .status)" "$start" "$secs" \
    "$([ "$status" = 0 ] && echo passed || echo "FAILED ($status)")"
done | sort -k2 -n
printf '%-14s %6s %6s\n' total 0 $(($(date +%s) - begin))
failed=0
for s in deps-build deps-wine deps build-native build-x64 build-x86 build-page test-native test-page test-x64 \
  test-x86 release release-test setup-win64 setup-win32; do
  if [ ! -f "$logs/$s.status" ]; then
    echo "$s did not run"
    failed=1
  elif [ "$(cut -d' ' -f1 "$logs/$s.status")" != 0 ]; then
    failed=1
  fi
done
if [ $failed -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "SOME STEP FAILED"; fi
exit $failed
