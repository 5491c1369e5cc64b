#!/bin/bash
# The page's frame in Chromium against the native hack's, both at 1280 x 1024, in one run: rounds
# alternate between hack_bench's frame-cost comparison on a private Xvfb and the same comparison
# inside the page (PageBench.mjs).  The medians give two ratios, page over hack: the whole frame
# (the hack's includes presenting it to the X server and waiting, the page's reads one pixel back
# instead: the browser presents later), and the frame less its bare clear and present.
#
#   bash bench/web/page_bench.sh [ROUNDS] [FRAMES]     default 3 rounds of 500 frames
set -u
here=$(cd "$(dirname "$0")" && pwd) && cd "$here/../.." || exit 1
rounds=${1:-3} frames=${2:-500}
scripts/deps.sh page browser >/dev/null || exit 1
{ cmake --preset native && cmake --build --preset native --target hack_bench &&
  cmake --preset web && cmake --build --preset web --target quillara_bench_page; } >/dev/null || exit 1
# "scene bare" milliseconds per frame from a report.
ms() { awk '/^scene frame/ {s = $(NF - 5)} /^bare/ {b = $(NF - 3)} END {print s, b}'; }
hack=() page=()
for round in $(seq "$rounds"); do
  hack+=("$(build/native/bench/x11/hack_bench --frames "$frames" --seconds 1 2>/dev/null | ms)")
  page+=("$(node bench/web/PageBench.mjs build/web/quillara-bench.html "$frames" | ms)")
  echo "round $round: scene and bare frame, hack ${hack[-1]} ms, page ${page[-1]} ms"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
field() { for pair in "${@:2}"; do echo "$pair" | cut -d' ' -f"$1"; done; }
hs=$(median $(field 1 "${hack[@]}")) hb=$(median $(field 2 "${hack[@]}"))
ps=$(median $(field 1 "${page[@]}")) pb=$(median $(field 2 "${page[@]}"))
awk -v hs="$hs" -v hb="$hb" -v ps="$ps" -v pb="$pb" 'BEGIN {
  printf "median frame: hack %.3f ms (bare %.3f), page %.3f ms (bare %.3f)\n", hs, hb, ps, pb
  printf "page / hack: %.2f the whole frame, %.2f less the bare frame\n", ps / hs, (ps - pb) / (hs - hb) }'
