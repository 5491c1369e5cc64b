#!/bin/bash
# The release's Windows setup under Wine, run by SetupSteps.txt in a fresh copy of a new 64-bit,
# then 32-bit prefix per case; signing of the setup and of the uninstaller it writes.  Run after
# scripts/release.sh.
#
#   bash tests/release/SetupTest.sh [win64|win32]...    default: both prefixes
here=$(cd "$(dirname "$0")" && pwd) && cd "$here/../.." && s=$(mktemp -d) && z=Z:${s//\//\\} || exit 1
setup=$(echo dist/quillara-*-setup.exe) && v=${setup#dist/quillara-} && v=${v%-setup.exe} && failed=0
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1: ${*:2}"; failed=1; fi; }
verify() { osslsigncode verify -CAfile "$s/cert" -in "$1" >/dev/null; }
unzip -q "dist/quillara-$v-windows.zip" '*.scr' -d "$s" && cp "$setup" "$s/setup.exe" &&
  { cat "$s/x86/quillara.scr" && echo older; } >"$s/older.scr" || exit 1

# The older build: other .scr bytes, signed through makensis with a certificate made here.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Quillara -days 2 -addext extendedKeyUsage=codeSigning \
  -keyout "$s/key" -out "$s/cert" 2>/dev/null && openssl pkcs12 -export -inkey "$s/key" -in "$s/cert" \
  -passout pass:thrown -out "$s/p12" && QUILLARA_SIGN_PKCS12=$s/p12 QUILLARA_SIGN_PASSWORD=thrown makensis -V1 \
  -DVERSION=0.9.0 -DX64="$s/older.scr" -DX86="$s/older.scr" -DOUTFILE="$s/older.exe" \
  -DSIGN="$PWD/scripts/sign.sh" packaging/windows/quillara.nsi
check "signed setup verifies" verify "$s/older.exe"

# Without administrator rights Windows refuses writes to the system folder: here it is read-only,
# and Wine runs as nobody, in a user namespace of its own where root's powers do not reach.
unset DISPLAY && as=(unshare --user) && mkdir "$s/win64" "$s/win32" && sys='C:\windows\system32'  # by name, Wine runs start.exe first
w() { timeout 300 "${as[@]}" "$WINE" "$@" >/dev/null 2>&1; } && server() { "${as[@]}" "$WINESERVER" "$@" 2>/dev/null; }
# Commands run as one batch file in the case's own server, then export the keys checked, keeping the exit code.
batch() { printf '@%s\r\n' "$@" 'set rc=%errorlevel%' "reg export HKCU $z\\u.reg /y" "reg export ${entry%\\*} $z\\m.reg /y" \
    "if exist C:\\windows\\syswow64 reg export ${wow%\\*} $z\\w.reg /y" 'exit %rc%' >"$s/run.cmd" && rm -f "$s"/?.reg
  w "$sys\\cmd.exe" /c "$z\\run.cmd"; local rc=$? && cat "$s"/?.reg | iconv -f UTF-16 -t UTF-8 | tr -d '\r' >"$s/reg"; return $rc; }
key() { k=$1 awk '$0 == "[" ENVIRON["k"] "]" {on = 1; next} /^\[/ {on = 0} on && /^"/' "$s/reg"; }
value() { key "HKEY_CURRENT_USER\\$1" | sed -n "s/^\"$2\"=//p" | sed 's/^"\(.*\)"$/\1/; s/\\\\/\\/g' | grep . || echo -; }
entry='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillara!'
wow=${entry/Software/Software\\Wow6432Node}
expect() { grep -v '^#' "$here/SetupEntry.txt" | sed "s/@VERSION@/$1/; s/@KB@/$(printf %08x $((($(stat -c %s "$2") + 1023) / 1024)))/"; }
# Whose file or entry it is: setup (the release's), older, other or none (-).
scr() { f=$WINEPREFIX/drive_c/windows/$1/quillara.scr; if [ ! -e "$f" ]; then echo -; elif cmp -s "$f" "$native"
  then echo setup; elif cmp -s "$f" "$s/older.scr"; then echo older; else echo other; fi; }
whose() { e=$(key "$1"); if [ -z "$e" ]; then echo -; elif [ "$e" = "$(expect "$v" "$native")" ]; then echo setup
  elif [ "$e" = "$(expect 0.9.0 "$s/older.scr")" ]; then echo older; else echo other; fi; }

for arch in ${@:-win64 win32}; do
  state=$s/$arch && echo $arch >"$state/arch" && . scripts/wine-env.sh && last= && pristine=$(scripts/wine-session.sh pristine $arch)
  native=$s/x64/quillara.scr && [ $arch = win64 ] || native=$s/x86/quillara.scr
  while read -r case rights before program code file owner saver; do
    export WINEPREFIX=$s/case && start=$SECONDS && set --
    [ "$case" = "$last" ] || { server -k; rm -rf "$WINEPREFIX" && cp -a "$pristine" "$WINEPREFIX" && server -p &&
      last=$case && set -- 'reg add HKCU\Software\Quillara /v GraviticForce /t REG_DWORD /d 80 /f >nul'; }
    chmod "$rights" "$WINEPREFIX/drive_c/windows/system32"
    [ "$before" = - ] || set -- "$@" "reg add \"HKCU\\Control Panel\\Desktop\" /v SCRNSAVE.EXE /d \"$before\" /f >nul"
    if [ "$program" = uninstall ]; then set -- "$@" "$(key "$entry" |
      sed -n 's/^"QuietUninstallString"="\(.*\)"$/\1/p' | sed 's/\\"/"/g; s/\\\\/\\/g')"
    else set -- "$@" "\"$z\\$program.exe\" /S"; fi
    batch "$@"; rc=$? && folder=$WINEPREFIX/drive_c/Program\ Files/Quillara!
    [ "$program" != older ] || check "$arch older uninstaller verifies" verify "$folder/uninstall.exe"
    check "$arch $case: $program, $rights, $before before: $code $file $owner $saver ($((SECONDS - start)) s)" [ \
      "$rc $(scr system32) $(whose "$entry") $(value 'Control Panel\Desktop' SCRNSAVE.EXE) | $(scr syswow64) $(
      whose "$wow") $([ -d "$folder" ] && ls -A "$folder" | xargs || echo -) $(find "$WINEPREFIX"/drive_c/users/*/Temp \
      -mindepth 1 | wc -l) $(value 'Software\Quillara' GraviticForce)" = \
      "$code $file $owner $saver | - - $([ "$owner" = - ] && echo - || echo uninstall.exe) 0 dword:00000050" ]
  done < <(grep -v '^#' "$here/SetupSteps.txt")
  server -k; rm -rf "$s/case" "$state"
done
rm -rf "$s"
exit $failed
