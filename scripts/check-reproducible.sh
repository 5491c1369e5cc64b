#!/bin/bash
# Checks that a release is reproducible: clones the last commit twice, at
# paths of different lengths, runs scripts/release.sh in each and compares
# the artefacts byte for byte.  Not part of the test command (two release
# builds).
#
#   bash scripts/check-reproducible.sh [WORK_DIR]    default: a fresh temporary one
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d)}
mkdir -p "$work" && work=$(cd "$work" && pwd)
one=$work/a/quillara
two=$work/second-clone/somewhere/deeper/q
rm -rf "$one" "$two"
status=0
for clone in "$one" "$two"; do
  git clone -q "$root" "$clone" || exit 1
  echo "=== release in $clone ($(git -C "$clone" rev-parse --short HEAD))"
  bash "$clone/scripts/release.sh" >"$clone.log" 2>&1 || { cat "$clone.log"; exit 1; }
  cat "$clone/dist/SHA256SUMS"
done
for file in $(cd "$one/dist" && ls); do
  if cmp "$one/dist/$file" "$two/dist/$file"; then echo "same: $file"; else status=1; fi
done
[ $status -eq 0 ] && echo "REPRODUCIBLE" || echo "NOT REPRODUCIBLE (trees kept in $work)"
exit $status
