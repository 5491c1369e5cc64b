#!/bin/bash
# The page's suite: builds it with the web preset, checks that the WebAssembly simulation reaches
# the native build's hashes (the worked trajectory and a soak), then runs PageTest.mjs in Chromium.
# Needs the native preset's build tree and the test command's packages (scripts/test.sh has both).
here=$(cd "$(dirname "$0")" && pwd) && cd "$here/../.." || exit 1
scripts/deps.sh page || exit 1
mkdir -p build && log=build/build-web.log
{ { [ -f build/web/CMakeCache.txt ] || cmake --preset web; } && cmake --build --preset web --target quillara_page sim_soak &&
  cmake --build --preset native --target sim_soak; } >$log 2>&1 || { cat $log; exit 1; }
hashes() { "$@" 800 600 | grep -E '^(trajectory hash|worked trajectory)'; }
native=$(hashes build/native/bench/sim/sim_soak) && wasm=$(hashes node build/web/sim_soak.js) || exit 1
[ "$native" = "$wasm" ] && status=0 && echo "ok    WebAssembly simulation as native: $(echo $wasm)" ||
  { status=1 && echo "FAIL  WebAssembly simulation: $(echo $wasm), native: $(echo $native)"; }
timeout 300 node tests/web/PageTest.mjs build/web/quillara.html && exit $status
