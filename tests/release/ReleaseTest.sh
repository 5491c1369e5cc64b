#!/bin/bash
# The release in dist/ as users get it: the zip's files, install.cmd and uninstall.cmd run by
# Wine's cmd, the package's files and its hack drawing.  Run after scripts/release.sh; signing is
# SetupTest.sh's.
here=$(cd "$(dirname "$0")" && pwd) && cd "$here/../.." && s=$(mktemp -d) && state=$s || exit 1
zip=$(echo dist/quillara-*-windows.zip) && v=${zip#dist/quillara-} && v=${v%-windows.zip} && failed=0
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1: ${*:2}"; failed=1; fi; }
check "zip entries" [ "$(unzip -Z1 "$zip" | xargs)" = \
  "README.txt LICENSE.txt install.cmd uninstall.cmd x64/quillara.scr x86/quillara.scr" ]
unzip -q "$zip" -d "$s/zip" && check "texts in CR LF" [ "$(cat "$s"/zip/*.??? | grep -vc $'\r$')" = 0 ]
for a in x64 x86; do check "$a .scr as tested" cmp "$s/zip/$a/quillara.scr" "build/windows-$a/quillara.scr"; done
check "page as tested" cmp "dist/quillara-$v.html" build/web/quillara.html

# Without administrator rights Windows refuses writes to the system folder: here it is read-only,
# and Wine runs as nobody when this runs as root, who would write anyway.
. scripts/wine-env.sh && export HOME=$s && unset DISPLAY && chmod 755 "$s" && as=() && reg='C:\windows\system32\reg.exe' &&
  cp -a "$(scripts/wine-session.sh pristine win64)" "$WINEPREFIX" || exit 1  # a new prefix
[ "$(id -u)" != 0 ] || { as=(setpriv --reuid=65534 --regid=65534 --clear-groups) && chown -R 65534 "$s"; }
"${as[@]}" "$WINESERVER" -p && w() { timeout 120 "${as[@]}" "$WINE" "$@" >"$s/out" 2>/dev/null; }  # one server for all
values() { w "$reg" query 'HKCU\Control Panel\Desktop'; tr -d '\r' <"$s/out" | awk '$1 == "SCRNSAVE.EXE" {n = $3}
  $1 == "ScreenSaveActive" {a = $3} END {print n == "" ? "-" : n, a == "" ? "-" : a}'; }  # the saver, and if active
f=$WINEPREFIX/drive_c/windows/system32/quillara.scr
while read -r cmd rights script before expected; do
  chmod "$rights" "${f%/*}" && [ "$before" = - ] || w "$reg" add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$before" /f
  w "$cmd" /c "Z:${s//\//\\}\\zip\\$script.cmd"; now="$? $(grep -c . "$s/out")/$(grep -c administrator "$s/out")/$(
    grep -c 'C:\\windows\\System32' "$s/out") $([ -e "$f" ] && { cmp -s "$f" "$s/zip/x64/quillara.scr" && echo x64 ||
    echo other; } || echo -)"
  check "$cmd $rights $script, $before before: $expected" [ "$now $(values)" = "$expected" ]
done < <(grep -v '^#' "$here/InstallSteps.txt")
"${as[@]}" "$WINESERVER" -k

# The package (scripts/release.sh ran lintian and desktop-file-validate): its files under /usr,
# the version, the hack drawing.
deb=dist/quillara_${v}_amd64.deb && check "package files" [ "$(dpkg-deb -c "$deb" | awk '!/^d/ {print $1, $2, $6}
  /^d/ && $1 $2 != "drwxr-xr-xroot/root"')" = "$(cat "$here/PackageFiles.txt")" ]
dpkg-deb -x "$deb" "$s/deb" && p=$s/deb/usr/share && check "version $v in the man page and changelog" \
  [ "$(zcat "$p/man/man6/quillara.6x.gz" "$p/doc/quillara/changelog.gz" | grep -c "Quillara! $v\"$\|($v)")" = 2 ]
check "packaged hack draws" env QUILLARA_HACK="$s/deb/usr/libexec/xscreensaver/quillara" timeout 60 \
  build/native/tests/x11/x11_test --gtest_filter='Hack.HandedWindow*' --gtest_brief=1
rm -rf "$s"
exit $failed
