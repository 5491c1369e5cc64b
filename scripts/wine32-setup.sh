#!/bin/bash
# The 32-bit Windows build's tests run under 32-bit Wine: natively where the
# kernel runs 32-bit code, otherwise through QEMU's i386 user-mode emulation.
#
#   scripts/wine32-setup.sh prepare   adds Debian's i386 architecture (and,
#                                     where QEMU will run 32-bit programs, the
#                                     backports suite), and prints the packages
#                                     to install with the rest, QEMU included
#   scripts/wine32-setup.sh route     after they are installed: makes 32-bit
#                                     Wine run here, installing QEMU where the
#                                     kernel cannot run it, and says how
#
# The release's own QEMU (7.2) cannot even create a Wine prefix, so QEMU (8
# or later) comes from its backports suite, on the archive that its apt
# sources already name.  Does only what is missing (root, or sudo, only
# then); a registration lasts until the machine restarts, so it is checked on
# every call.
set -eu
here=$(dirname "$0")
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
backports="$codename-backports"

# Prints qemu-user from backports when the present qemu-i386 is older than 8.
qemu_from_backports() {
  local major
  major=$(qemu-i386 --version 2>/dev/null | awk 'NR == 1 {split($3, v, "."); print v[1]}')
  if [ "${major:-0}" -lt 8 ]; then echo "qemu-user/$backports"; fi
}

# True where the kernel runs a 32-bit x86 program itself: 93 bytes that exit(0).
kernel_runs_i386() {
  local probe status
  probe=$(mktemp) && chmod +x "$probe" || return 1
  local elf='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'
  elf+='\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'  # one program header, at 52
  elf+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0'
  elf+='\xb8\x01\0\0\0\x31\xdb\xcd\x80'  # at 84: mov eax, 1 (exit); xor ebx, ebx; int 0x80
  printf "$elf" >"$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return $status
}

add_backports_source() {
  local targets uri keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  targets=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' | sort -u)
  grep -q "^$backports " <<<"$targets" && return 0
  uri=$(awk -v r="$codename" '$1 == r {print $2; exit}' <<<"$targets")
  if [ -z "$uri" ]; then echo "wine32-setup: no apt source names $codename" >&2; exit 1; fi
  {
    printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\n' "$uri" "$backports"
    if [ -f "$keyring" ]; then echo "Signed-By: $keyring"; fi
  } | $sudo tee /etc/apt/sources.list.d/quillara-backports.sources >/dev/null
}

case "${1:-}" in
  prepare)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
    fi
    echo wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386 \
      libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 \
      libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
    # QEMU comes in the same apt run, not in one of its own after it.
    if [ "${QUILLARA_EMULATE_I386:-}" = 1 ] || ! kernel_runs_i386; then
      add_backports_source
      qemu_from_backports
    fi
    ;;
  route)
    if [ "${QUILLARA_EMULATE_I386:-}" != 1 ] && "$loader" --version >/dev/null 2>&1; then
      bash "$here/i386-route.sh" --describe
      exit 0
    fi
    qemu=$(qemu_from_backports)
    if [ -n "$qemu" ]; then
      add_backports_source
      "$here/install-missing.sh" "$qemu"
    fi
    if [ "${QUILLARA_EMULATE_I386:-}" != 1 ]; then
      # No 32-bit support in this kernel: every 32-bit program goes through QEMU.
      if [ ! -e "$binfmt/register" ]; then $sudo mount -t binfmt_misc binfmt_misc "$binfmt"; fi
      $sudo bash -c ". '$here/i386-route.sh' && register_qemu_i386 $binfmt"
    fi
    if ! bash "$here/i386-route.sh" "$loader" --version >/dev/null 2>&1; then
      echo "wine32-setup: $loader does not run under qemu-i386" >&2
      exit 1
    fi
    bash "$here/i386-route.sh" --describe
    ;;
  *)
    echo "usage: $0 prepare|route" >&2
    exit 2
    ;;
esac
