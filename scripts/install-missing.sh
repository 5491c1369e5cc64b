#!/bin/bash
# Installs those of the given Debian packages that are not installed yet;
# needs root (or sudo) only when something is missing.
#
#   scripts/install-missing.sh PACKAGE...
set -eu
missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q "$@"; }
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}"
