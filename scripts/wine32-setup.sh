#!/bin/bash
# Makes this machine run the 32-bit Windows build's tests: Debian's i386
# architecture with 32-bit Wine and Mesa, run by the kernel itself where it
# runs 32-bit code, and otherwise by QEMU's i386 user-mode emulation,
# registered with binfmt_misc.  The release's own QEMU (7.2) cannot even
# create a Wine prefix, so QEMU comes from its backports suite, on the archive
# that its apt sources already name.  Does only what is missing (root, or
# sudo, only then); a registration lasts until the machine restarts, so it is
# checked on every call.
set -eu
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q "$@"; }
loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
"$(dirname "$0")/install-missing.sh" wine32:i386 libgl1:i386 libglx-mesa0:i386 \
  libgl1-mesa-dri:i386 libglu1-mesa:i386 libx11-6:i386 libxext6:i386 libxrender1:i386 \
  libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 \
  libxfixes3:i386 libxxf86vm1:i386

# A kernel with 32-bit support runs the loader itself.
if "$loader" --version >/dev/null 2>&1; then exit 0; fi

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
backports="$codename-backports"
qemu_major=$(qemu-i386 --version 2>/dev/null | awk 'NR == 1 {split($3, v, "."); print v[1]}')
if [ "${qemu_major:-0}" -lt 8 ]; then
  targets=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' | sort -u)
  if ! grep -q "^$backports " <<<"$targets"; then
    uri=$(awk -v r="$codename" '$1 == r {print $2; exit}' <<<"$targets")
    if [ -z "$uri" ]; then echo "wine32-setup: no apt source names $codename" >&2; exit 1; fi
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
      printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\n' "$uri" "$backports"
      if [ -f "$keyring" ]; then echo "Signed-By: $keyring"; fi
    } | $sudo tee /etc/apt/sources.list.d/quillara-backports.sources >/dev/null
  fi
  apt_get update
  apt_get install -y --no-install-recommends -t "$backports" qemu-user
fi

if [ ! -e "$binfmt/register" ]; then
  $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
fi
# A registration that does not run the loader is replaced.
if [ -e "$binfmt/qemu-i386" ]; then echo -1 | $sudo tee "$binfmt/qemu-i386" >/dev/null; fi
# 32-bit little-endian ELF, executable or shared object, machine i386.  O: qemu is handed the
# open file; P: argv[0] kept; F: the interpreter opened now, so it works in any mount namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-i386:M::$magic:$mask:$(command -v qemu-i386):OPF" | $sudo tee "$binfmt/register" >/dev/null
if ! "$loader" --version >/dev/null 2>&1; then
  echo "wine32-setup: $loader does not run under qemu-i386" >&2
  exit 1
fi
