#!/bin/bash
# The README's XScreenSaver blocks as they stand: the first from no ~/.xscreensaver, the second on one that
# xscreensaver-settings wrote (random mode, the whole list).  The real daemon, as nobody on a private Xvfb,
# must fork quillara on -activate and show its grey and white.   XScreenSaverTest.sh HACK [README]
here=$(cd "$(dirname "$0")" && pwd) && s=$(mktemp -d) && chmod 755 "$s" && mkdir "$s/bin" || exit 1
ln -s "$(realpath "$1")" "$s/bin/quillara" || exit 1; failed=0 as=()
[ "$(id -u)" != 0 ] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
awk -v d="$s/step" '/^- \*\*XScreenSaver\*\*/ {on = 1; next} /^- / {on = 0} on && /^ *```/ {if (n++ % 2 == 0)
  cut = index($0, "`"); next} on && n % 2 {print substr($0, cut) > (d (n + 1) / 2)}' "${2:-$here/../../README.md}"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$s/display" </dev/null >/dev/null 2>&1 & server=$!
trap 'kill $server; wait $server; rm -rf "$s"' EXIT
wait_for() { for _ in $(seq 200); do eval "$1" && return; sleep 0.1; done; false; }
wait_for '[ -s "$s/display" ]' && export DISPLAY=:$(head -1 "$s/display") HOME=$s/home PATH=$s/bin:$PATH
for step in 1 2; do  # a home anyone may write in; the daemon's log names the first hack it forks
  rm -rf "$HOME" && mkdir -m 777 "$HOME" && { [ $step = 1 ] || cp "$here/XScreenSaverFile.txt" "$HOME/.xscreensaver"; }
  "${as[@]}" bash "$s/step$step"; "${as[@]}" xscreensaver --verbose >"$s/log" 2>&1 &
  wait_for '"${as[@]}" xscreensaver-command -activate >/dev/null 2>&1' && wait_for 'grep -aq "forked .* --root" "$s/log"'
  hack=$(grep -aom1 'forked "[^"]* --root"' "$s/log") && [ "$hack" = 'forked "quillara --root"' ] && wait_for \
    '[ $(convert x:root -format %c histogram:info:- | grep -c "#333333\|#FFFFFF") = 2 ]' && echo "ok    step $step" ||
    { echo "FAIL  step $step: ${hack:-nothing forked}"; failed=1; }
  "${as[@]}" xscreensaver-command -exit >/dev/null 2>&1; wait $!; wait_for 'grep -aq "gfx.*SIGTERM: exiting" "$s/log"'
done
exit $failed
