#!/bin/bash
# Mutation run: puts each deliberate fault of a mutant table into a checkout,
# rebuilds, runs the native and both Windows suites (or, for a mutant
# marked "suite: release", scripts/release.sh, tests/release/ReleaseTest.sh
# and SetupTest.sh; for "suite: web", the page's tests/web/run.sh), and
# records whether the suite caught it.  Not part of the test command.
#
#   bash scripts/mutation-run.sh TREE [MUTANT_ID...]
#
# TREE is a checkout root; without ids every mutant of the table runs.  The
# table is scripts/mutants.txt beside this script (MUTANTS=FILE overrides it).
# Each product file is restored byte for byte after its mutant, also after
# Ctrl-C.  Results: KILLED (with the first failing test), SURVIVED,
# BUILD-FAILED, NOT-APPLICABLE (the find text is not in the product exactly
# once).  The table goes to stdout and TREE/build/mutation-report.txt; the
# build and test output of each mutant to TREE/build/mutation/ID.log.
set -u

here=$(cd "$(dirname "$0")" && pwd)
mutants=${MUTANTS:-$here/mutants.txt}
if [ $# -lt 1 ]; then
  echo "usage: $0 TREE [MUTANT_ID...]" >&2
  exit 2
fi
tree=$(cd "$1" && pwd) || exit 2
shift
[ -f "$mutants" ] || { echo "no mutant table: $mutants" >&2; exit 2; }
mutants=$(cd "$(dirname "$mutants")" && pwd)/$(basename "$mutants")

work=$tree/build/mutation
report=$tree/build/mutation-report.txt
mkdir -p "$work"

# Reads the table and does the literal text work; bash keeps the flow.
helper=$(
  cat <<'PYTHON'
import os, sys

PRODUCT_DIRS = ["sim", "render", "host", "config", "resources", "x11", "web", "packaging"]
KEYS = ("id", "what", "find", "replace")
OPTIONAL = ("suite",)

def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in "n\\":
            out.append("\n" if text[i + 1] == "n" else "\\")
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)

def fail(message):
    sys.stderr.write("mutants: " + message + "\n")
    sys.exit(2)

def parse(path):
    blocks, current = [], {}
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines + [""], 1):
        if line.startswith("#"):
            continue
        if line.strip() == "":
            if current:
                blocks.append(current)
                current = {}
            continue
        key, colon, value = line.partition(":")
        if not colon or key not in KEYS + OPTIONAL:
            fail("%s:%d: expected one of %s" % (path, number, ", ".join(KEYS + OPTIONAL)))
        if key in current:
            fail("%s:%d: %s given twice" % (path, number, key))
        # One blank after the colon separates; the rest is the text itself.
        current[key] = value[1:] if value.startswith(" ") else value
    seen = set()
    for b in blocks:
        missing = [k for k in KEYS if k not in b]
        if missing:
            fail("mutant %s lacks %s" % (b.get("id", "?"), ", ".join(missing)))
        if b.setdefault("suite", "ctest") not in ("ctest", "release", "web"):
            fail("mutant %s: suite is ctest, release or web" % b["id"])
        if b["id"] in seen or not b["id"] or " " in b["id"]:
            fail("bad or repeated id: %r" % b["id"])
        seen.add(b["id"])
        b["find"], b["replace"] = unescape(b["find"]), unescape(b["replace"])
        if not b["find"] or b["find"] == b["replace"]:
            fail("mutant %s changes nothing" % b["id"])
    return blocks

def product_files(tree):
    for d in PRODUCT_DIRS:
        for root, dirs, files in os.walk(os.path.join(tree, d)):
            dirs.sort()
            for name in sorted(files):
                yield os.path.join(root, name)

def find(table, wanted):
    for b in table:
        if b["id"] == wanted:
            return b
    fail("no mutant %s" % wanted)

command, path = sys.argv[1], sys.argv[2]
table = parse(path)
if command == "ids":
    wanted = sys.argv[3:]
    for w in wanted:
        find(table, w)
    for b in table:
        if not wanted or b["id"] in wanted:
            print(b["id"])
elif command == "what":
    print(find(table, sys.argv[3])["what"])
elif command == "suite":
    print(find(table, sys.argv[3])["suite"])
elif command == "locate":
    # Prints the one file holding the text, or why there is none.
    m, tree = find(table, sys.argv[3]), sys.argv[4]
    needle = m["find"].encode("utf-8")
    hits = []
    for f in product_files(tree):
        with open(f, "rb") as h:
            n = h.read().count(needle)
        if n:
            hits.append((os.path.relpath(f, tree), n))
    total = sum(n for _, n in hits)
    if total == 1:
        print(hits[0][0])
    else:
        where = ", ".join("%s x%d" % h for h in hits) if hits else "nowhere"
        print("found %d times: %s" % (total, where))
        sys.exit(3)
elif command == "apply":
    m, target = find(table, sys.argv[3]), sys.argv[4]
    with open(target, "rb") as h:
        data = h.read()
    needle, fresh = m["find"].encode("utf-8"), m["replace"].encode("utf-8")
    if data.count(needle) != 1:
        fail("%s: find text no longer once in %s" % (m["id"], target))
    with open(target, "wb") as h:
        h.write(data.replace(needle, fresh, 1))
else:
    fail("unknown command " + command)
PYTHON
)
py() { python3 -c "$helper" "$@"; }

ids=$(py ids "$mutants" "$@") || exit 2
[ -n "$ids" ] || { echo "the table holds no mutant" >&2; exit 2; }

# The product file under mutation and its pristine copy; restored on any exit.
pending=""
backup=$work/pristine.copy
restore() {
  if [ -n "$pending" ]; then
    # A plain copy, so the file is newer than any object built from the
    # mutant and the next build compiles it again.
    cp "$backup" "$tree/$pending" && cmp -s "$backup" "$tree/$pending" ||
      echo "RESTORE FAILED: copy $backup to $tree/$pending by hand" >&2
    pending=""
  fi
}
stop_wine() {
  if [ -f "$tree/scripts/wine-session.sh" ]; then
    for p in windows-x64 windows-x86; do
      bash "$tree/scripts/wine-session.sh" stop "$tree/build/$p/wine" >/dev/null 2>&1
    done
  fi
}
trap 'restore; stop_wine' EXIT
trap 'echo "interrupted" >&2; exit 130' INT
trap 'echo "terminated" >&2; exit 143' TERM

cd "$tree" || exit 2
presets=(native windows-x64 windows-x86)
built=("${presets[@]}")
release=no
web=no
for id in $ids; do
  case $(py suite "$mutants" "$id") in
    release) release=yes ;;
    web) web=yes ;;
  esac
done

# build LOG: configures a preset without a build tree, builds each.
build() {
  local p
  for p in "${built[@]}"; do
    if [ ! -f "build/$p/CMakeCache.txt" ]; then
      cmake --preset "$p" >>"$1" 2>&1 || return 1
    fi
    cmake --build --preset "$p" >>"$1" 2>&1 || return 1
  done
}

# script_suite LOG COMMAND...: a suite that is one script.  On failure prints
# its first failing check.
script_suite() {
  local log=$1 status
  shift
  echo "=== $*" >>"$log"
  "$@" >"$work/script.out" 2>&1
  status=$?
  cat "$work/script.out" >>"$log"
  [ $status -eq 0 ] && return 0
  sed -n 's/^FAIL  //p' "$work/script.out" | head -n 1 | grep . || echo "($* failed: see log)"
  return 1
}

# release_suite LOG: a release, then its check, which compares the page with the web preset's.
release_suite() {
  echo "=== release" >>"$1"
  { cmake --preset web && cmake --build --preset web --target quillara_page &&
    bash scripts/release.sh; } >>"$1" 2>&1 || { echo "(release.sh failed: see log)"; return 1; }
  script_suite "$1" bash -c "bash tests/release/ReleaseTest.sh && bash tests/release/SetupTest.sh"
}

# suite LOG [KIND]: every suite, each only when the one before passed; or,
# for KIND release or web, that check.  On failure prints the first failing test.
suite() {
  local p first
  if [ "${2:-ctest}" = release ]; then
    release_suite "$1"
    return
  fi
  if [ "${2:-ctest}" = web ]; then
    script_suite "$1" bash tests/web/run.sh
    return
  fi
  for p in "${presets[@]}"; do
    echo "=== ctest --preset $p" >>"$1"
    if ! ctest --preset "$p" --stop-on-failure >"$work/ctest.out" 2>&1; then
      cat "$work/ctest.out" >>"$1"
      first=$(sed -nE 's/^.*Test +#[0-9]+: +([^ ]+) .*\*\*\*.*$/\1/p' "$work/ctest.out" | head -n 1)
      echo "${first:-(ctest failed without a failing test: see log)}"
      return 1
    fi
    cat "$work/ctest.out" >>"$1"
  done
  return 0
}

run_start=$(date +%s)
echo "=== baseline: build every preset and run every suite unmutated"
baseline_log=$work/baseline.log
: >"$baseline_log"
if ! build "$baseline_log"; then
  echo "ERROR: the unmutated tree does not build (see $baseline_log)" >&2
  exit 1
fi
if ! failed=$(suite "$baseline_log") ||
  { [ $release = yes ] && ! failed=$(suite "$baseline_log" release); } ||
  { [ $web = yes ] && ! failed=$(suite "$baseline_log" web); }; then
  echo "ERROR: the unmutated suite fails at $failed (see $baseline_log)" >&2
  exit 1
fi
echo "baseline passed in $(($(date +%s) - run_start)) s"

rows=()
for id in $ids; do
  start=$(date +%s)
  log=$work/$id.log
  : >"$log"
  what=$(py what "$mutants" "$id")
  test_name="-"
  if ! file=$(py locate "$mutants" "$id" "$tree"); then
    result=NOT-APPLICABLE
    test_name=$file
    file=""
  else
    cp "$tree/$file" "$backup"
    pending=$file
    if ! py apply "$mutants" "$id" "$tree/$file"; then
      result=NOT-APPLICABLE
      test_name="could not apply"
    elif ! build "$log"; then
      result=BUILD-FAILED
    elif test_name=$(suite "$log" "$(py suite "$mutants" "$id")"); then
      result=SURVIVED
      test_name="-"
    else
      result=KILLED
    fi
    restore
  fi
  secs=$(($(date +%s) - start))
  echo "$id: $result ${test_name} (${secs} s) [${file:-}]"
  rows+=("$id"$'\t'"$what"$'\t'"$result"$'\t'"$test_name"$'\t'"$secs")
done

# The build trees end matching the restored sources again.
echo "=== rebuilding the unmutated tree"
build "$baseline_log" || echo "WARNING: rebuild of the unmutated tree failed" >&2

total=$(($(date +%s) - run_start))
idw=2
testw=18
for row in "${rows[@]}"; do
  IFS=$'\t' read -r id _ _ test_name _ <<<"$row"
  [ ${#id} -gt "$idw" ] && idw=${#id}
  [ ${#test_name} -gt "$testw" ] && testw=${#test_name}
done
{
  printf '%-*s  %-14s %5s  %-*s  %s\n' "$idw" id result secs "$testw" "first failing test" description
  for row in "${rows[@]}"; do
    IFS=$'\t' read -r id what result test_name secs <<<"$row"
    printf '%-*s  %-14s %5s  %-*s  %s\n' "$idw" "$id" "$result" "$secs" "$testw" "$test_name" "$what"
  done
  echo
  for r in KILLED SURVIVED BUILD-FAILED NOT-APPLICABLE; do
    n=0
    for row in "${rows[@]}"; do
      IFS=$'\t' read -r _ _ result _ _ <<<"$row"
      [ "$result" = "$r" ] && n=$((n + 1))
    done
    printf '%s %d  ' "$r" "$n"
  done
  echo
  echo "total time: $total s (tree: $tree, table: $mutants)"
} | tee "$report"
