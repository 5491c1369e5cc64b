#!/bin/bash
# Runs a command so that the 32-bit programs it starts take this machine's
# route: run by the kernel itself where it runs 32-bit code, and otherwise by
# QEMU's i386 user-mode emulation, registered with binfmt_misc by
# scripts/wine32-setup.sh.  With QUILLARA_EMULATE_I386=1 they go through QEMU
# even where the kernel could run them, as on a machine without 32-bit
# support: the command runs in a user namespace of its own whose private
# binfmt_misc (Linux 6.7 or later) hands every 32-bit program to qemu-i386.
# Nothing outside that namespace changes; only where no such namespace can be
# made is qemu-i386 registered for the whole machine instead, and says so.
#
#   scripts/i386-route.sh COMMAND [ARGUMENT...]
#   scripts/i386-route.sh --describe      one line: how 32-bit programs run here
#
# Sourced, it only defines register_qemu_i386, which wine32-setup.sh uses too.

# Registers qemu-i386 in the binfmt_misc mounted at $1 for 32-bit
# little-endian ELF executables and shared objects of machine i386.  O: qemu
# is handed the open file; P: argv[0] kept; F: the interpreter opened now, so
# it works in any mount namespace.
register_qemu_i386() {
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  # A registration that does not run the loader is replaced.
  if [ -e "$1/qemu-i386" ]; then echo -1 >"$1/qemu-i386"; fi
  echo ":qemu-i386:M::$magic:$mask:$(command -v qemu-i386):OPF" >"$1/register"
}
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

set -u
if [ "${1:-}" = --inside ]; then
  # In the new namespace: its own binfmt_misc, then the command.
  shift
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || exit 97
  register_qemu_i386 /proc/sys/fs/binfmt_misc || exit 1
  exec "$@"
fi

if [ "${1:-}" = --describe ]; then
  if [ "${QUILLARA_EMULATE_I386:-}" = 1 ]; then
    echo "32-bit programs: through $(qemu-i386 --version | head -n 1), forced by QUILLARA_EMULATE_I386=1"
  elif [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo "32-bit programs: through $(qemu-i386 --version | head -n 1), the kernel runs none"
  else
    echo "32-bit programs: run by the kernel itself"
  fi
  exit 0
fi

[ "${QUILLARA_EMULATE_I386:-}" = 1 ] || exec "$@"
command -v qemu-i386 >/dev/null ||
  { echo "i386-route: QUILLARA_EMULATE_I386=1 needs qemu-i386 (scripts/wine32-setup.sh)" >&2; exit 1; }

# Where no namespace of its own can be made (a kernel before 6.7 has no
# private binfmt_misc), qemu-i386 is registered for the whole machine, as on
# one without 32-bit support, until it restarts.
machine_wide() {
  local binfmt=/proc/sys/fs/binfmt_misc sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "i386-route: no binfmt_misc of a namespace's own here: qemu-i386 now runs every 32-bit program of this machine" >&2
  [ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt" || exit 1
  [ -e "$binfmt/qemu-i386" ] || $sudo bash -c ". '$0' && register_qemu_i386 $binfmt" 2>/dev/null ||
    [ -e "$binfmt/qemu-i386" ] || exit 1
  exec "$@"
}
# The namespace maps root and the users below it to themselves, so files keep
# their owners and a test may still run a program as nobody.  Its process
# waits on a pipe until the maps are written from out here.
go=$(mktemp -u) && mkfifo "$go" || exit 1
unshare --user --mount sh -c 'read -r _ <"$0" && exec "$@"' "$go" \
  bash "$0" --inside "$@" &
inside=$!
# The maps can be written once the process is in its namespace.
for _ in $(seq 1 500); do
  [ "$(readlink /proc/$inside/ns/user)" = "$(readlink /proc/self/ns/user)" ] || break
  sleep 0.01
done
if ! printf '0 0 65536' >/proc/$inside/uid_map || ! printf '0 0 65536' >/proc/$inside/gid_map; then
  kill $inside
  rm -f "$go"
  machine_wide "$@"
fi
echo >"$go"
rm -f "$go"
wait $inside
status=$?
# 97: the namespace has no binfmt_misc of its own, and nothing ran yet.
[ $status -ne 97 ] || machine_wide "$@"
exit $status
