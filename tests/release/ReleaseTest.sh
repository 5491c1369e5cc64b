#!/bin/bash
# The release in dist/ as users get it: the zip's files, install.cmd and uninstall.cmd run by
# Wine's cmd, the package's files and its hack drawing, signing.  Run after scripts/release.sh.
root=$(cd "$(dirname "$0")/../.." && pwd) && cd "$root" || exit 1
s=$(mktemp -d) && chmod 755 "$s" && failed=0 && zip=$(echo dist/quillara-*-windows.zip)
v=${zip#dist/quillara-} && v=${v%-windows.zip} && deb=dist/quillara_${v}_amd64.deb
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1"; failed=1; fi; }
check "zip entries" [ "$(unzip -Z1 "$zip" | xargs)" = \
  "README.txt LICENSE.txt install.cmd uninstall.cmd x64/quillara.scr x86/quillara.scr" ]
unzip -q "$zip" -d "$s/zip" && check "texts in CR LF" [ "$(cat "$s"/zip/*.??? | grep -vc $'\r$')" = 0 ]
for a in x64 x86; do check "$a .scr as tested" cmp "$s/zip/$a/quillara.scr" "build/windows-$a/quillara.scr"; done

# Windows refuses writes to the system folder without administrator rights; here the folder is
# made read-only, and Wine runs as nobody when this runs as root, who would write anyway.
as=() && [ "$(id -u)" != 0 ] || { as=(setpriv --reuid=65534 --regid=65534 --clear-groups) && chown -R 65534 "$s"; }
w() { timeout 120 "${as[@]}" env -u DISPLAY HOME="$s" WINEPREFIX="$s/wine" WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 "$@" >"$s/out" 2>/dev/null; }
value() { w reg query 'HKCU\Control Panel\Desktop' /v "$1"; tr -d '\r' <"$s/out" | awk -v n="$1" '
  $1 == n {v = $3} END {print v == "" ? "-" : v}'; }
w wineboot -i; f=$s/wine/drive_c/windows/system32/quillara.scr
# System folder rights, script, SCRNSAVE.EXE set before; then the exit code, lines said / of them
# about administrators, the file in the system folder, SCRNSAVE.EXE, ScreenSaveActive ("-": none).
while read -r rights script before expected; do
  chmod "$rights" "${f%/*}" && [ "$before" = - ] || w reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$before" /f
  w cmd /c "Z:${s//\//\\}\\zip\\$script.cmd"; now="$? $(grep -c . "$s/out")/$(grep -c administrator "$s/out") $(
    [ -e "$f" ] && { cmp -s "$f" "$s/zip/x64/quillara.scr" && echo x64 || echo other; } || echo -)"
  check "$rights $script, $before before: $expected" [ "$now $(value SCRNSAVE.EXE) $(value ScreenSaveActive)" = "$expected" ]
done <<'END'
a-w install - 1 1/1 - - -
u+w install - 0 1/0 x64 C:\windows\System32\quillara.scr 1
a-w uninstall - 1 1/1 x64 C:\windows\System32\quillara.scr 1
u+w uninstall - 0 1/0 - - 1
u+w install - 0 1/0 x64 C:\windows\System32\quillara.scr 1
u+w uninstall C:\windows\system32\myquillara.scr 0 1/0 - C:\windows\system32\myquillara.scr 1
u+w install - 0 1/0 x64 C:\windows\System32\quillara.scr 1
u+w uninstall C:\WINDOWS\SYSTEM32\QUILLARA.SCR 0 1/0 - - 1
END
"${as[@]}" env WINEPREFIX="$s/wine" /usr/lib/wine/wineserver64 -k

# The package: its files under /usr, the version, lintian, the desktop file, the hack drawing.
check "package files" [ "$(dpkg-deb -c "$deb" | awk '/^d/ && $1 $2 != "drwxr-xr-xroot/root" {print}
  !/^d/ {print $1, $2, $6}' | xargs)" = "-rwxr-xr-x root/root ./usr/libexec/xscreensaver/quillara \
-rw-r--r-- root/root ./usr/share/applications/screensavers/quillara.desktop -rw-r--r-- root/root \
./usr/share/doc/quillara/changelog.gz -rw-r--r-- root/root ./usr/share/doc/quillara/copyright -rw-r--r-- \
root/root ./usr/share/man/man6/quillara.6x.gz -rw-r--r-- root/root ./usr/share/xscreensaver/config/quillara.xml" ]
dpkg-deb -x "$deb" "$s/deb" && p=$s/deb/usr/share && check "version $v in the man page and changelog" \
  [ "$(zcat "$p/man/man6/quillara.6x.gz" "$p/doc/quillara/changelog.gz" | grep -c "Quillara! $v\"$\|($v)")" = 2 ]
check "Depends from dpkg-shlibdeps" grep -q "libc6 (>= .*libx11-6" <<<"$(dpkg-deb -f "$deb" Depends)"
check "lintian --pedantic: no error or warning" lintian --pedantic -I --fail-on error,warning "$deb"
check "desktop file valid" [ -z "$(desktop-file-validate --no-hints "$p/applications/screensavers/quillara.desktop")" ]
check "packaged hack draws" env QUILLARA_HACK="$s/deb/usr/libexec/xscreensaver/quillara" timeout 60 \
  build/native/tests/x11/x11_test --gtest_filter='Hack.HandedWindow*' --gtest_brief=1

# Signing with a certificate made here and thrown away: the signature verifies against it alone.
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Quillara test" -days 2 -keyout "$s/key" \
  -out "$s/cert" -addext extendedKeyUsage=codeSigning 2>/dev/null && cp "$s/zip/x64/quillara.scr" "$s/signed.scr" &&
  openssl pkcs12 -export -inkey "$s/key" -in "$s/cert" -passout pass:thrown -out "$s/p12" &&
  QUILLARA_SIGN_PKCS12=$s/p12 QUILLARA_SIGN_PASSWORD=thrown scripts/sign.sh "$s/signed.scr"
check "signed .scr verifies" osslsigncode verify -CAfile "$s/cert" -in "$s/signed.scr"
check "unsigned .scr does not" bash -c "! osslsigncode verify -CAfile '$s/cert' -in '$s/zip/x64/quillara.scr' >/dev/null"
rm -rf "$s"
exit $failed
