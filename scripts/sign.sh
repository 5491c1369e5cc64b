#!/bin/bash
# Signs Windows programs in place (Authenticode, SHA-256) with the code-signing
# certificate and key of the PKCS#12 file $QUILLARA_SIGN_PKCS12, whose password
# is $QUILLARA_SIGN_PASSWORD.  The signing time is $SOURCE_DATE_EPOCH when set,
# so a signed release is as reproducible as an unsigned one.
#
#   QUILLARA_SIGN_PKCS12=code.p12 QUILLARA_SIGN_PASSWORD=... scripts/sign.sh FILE...
set -eu
p12=${QUILLARA_SIGN_PKCS12:?the PKCS#12 file}
time=()
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then time=(-time "$SOURCE_DATE_EPOCH"); fi
for file in "$@"; do
  # The password through a pipe, not on a command line others can read.
  osslsigncode sign -pkcs12 "$p12" -readpass <(printf %s "${QUILLARA_SIGN_PASSWORD:-}") \
    -h sha256 -n "Quillara!" "${time[@]}" -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
done
