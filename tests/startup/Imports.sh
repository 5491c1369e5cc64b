#!/bin/bash
# Imports.sh OBJDUMP SCR x86|x86_64 MAJOR.MINOR VERSION: imports against the architecture's lines of
# ImportsAllowed.txt, x86 instructions a Pentium Pro has, header's Windows version, DPI manifest,
# and the version resource as the resource compiler reads it back.
dump=$("$1" -p "$2") || exit 1
imports=$(awk '/^\tDLL Name: /{d = toupper($3); next} !NF {d = ""}
  d && NF >= 3 && $1 != "vma:" {print d, $3}' <<<"$dump" | sort)
outside=$(comm -23 <(echo "$imports") <(awk -v a="$3" '!/^#/ && ($3 !~ /^x86/ || $3 == a) {
  print $1, $2}' "${0%/*}/ImportsAllowed.txt" | sort))
sse=$([ "$3" = x86_64 ] || "$1" -d "$2" | grep -m1 -E '%[xyz]?mm[0-9]|\s(ldmxcsr|stmxcsr|prefetch'\
'\w*|[lms]fence|clflush\w*|movnti|fxsave|fxrstor|fisttp\w*|emms|femms|popcnt|lzcnt|movbe|crc32)\b')
echo "$(grep -c . <<<"$imports") imports; outside the list: ${outside:-none}; SSE: ${sse:-none}" &&
  [ -z "$outside$sse" ] && grep -qx "KERNEL32.DLL ExitProcess" <<<"$imports" && [ "$(grep -cE \
  "^(Major(OSystem|Subsystem)Version\s+${4%.*}|Minor(OSystem|Subsystem)Version\s+${4#*.})$" \
  <<<"$dump")" = 4 ] && grep -aq '<dpiAware[^>]*>true</dpiAware>' "$2" &&
  grep -A2 $'^0[0-9a-f]*   Entry: ID: 0x000018,' <<<"$dump" | grep -q "     Entry: ID: 0x000001," &&
  rc=$("${1%objdump}windres" -i "$2" -O rc) && [ "$(grep -cxE -e " (FILE|PRODUCT)VERSION ${5//./, }, 0" -e \
  ' +VALUE "(File|Product)Version", "'"$5"'"' -e ' +VALUE "(ProductName|FileDescription)", "Quillara!"' <<<"$rc")" = 6 ]
