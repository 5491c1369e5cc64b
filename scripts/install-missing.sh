#!/bin/bash
# Installs those of the given Debian packages that are not installed yet, in
# one apt run; needs root (or sudo) only when something is missing.  A name
# may carry its suite (qemu-user/bookworm-backports): that one is installed
# from there, whatever version is present, so callers give it only when the
# present one will not do.
#
#   scripts/install-missing.sh PACKAGE...
set -eu
# One query for all: each dpkg-query reads the whole package database.
native=$(dpkg --print-architecture)
installed=" $(dpkg-query -W -f='${Status} ${Package}:${Architecture}\n' "${@%%/*}" 2>/dev/null |
  awk '$3 == "installed" {print $4}' | sed "s/:all$/:$native/" | xargs) "
missing=()
for p in "$@"; do
  q=$p && [[ "$q" == *:* ]] || q=$q:$native
  if [[ "$p" == */* || "$installed" != *" $q "* ]]; then missing+=("$p"); fi
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
# Unpacking without a sync after every file: a failed install is run again anyway.
apt_get() {
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    -o Dpkg::Options::=--force-unsafe-io -o Dpkg::Use-Pty=0 -q "$@"
}
# One update serves the installs of the next hour while the sources and
# architectures stay as they were (the test command installs in steps).
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
  /var/lib/dpkg/arch 2>/dev/null | md5sum)
stamp=/run/quillara-apt-update
if [ "$(cat "$stamp" 2>/dev/null)" != "$sources" ] || [ -n "$(find "$stamp" -mmin +60 2>/dev/null)" ]; then
  apt_get update && echo "$sources" | $sudo tee "$stamp" >/dev/null
fi
apt_get install -y --no-install-recommends "${missing[@]}" ||
  { apt_get update && apt_get install -y --no-install-recommends "${missing[@]}"; }
