#!/usr/bin/env bash
# Makes what the signing inspection test reads: a throwaway code-signing
# certificate (signer.der, for the test to trust while it runs), a copy of
# PROGRAM signed with it, and a copy of that signed file with one byte of its
# code altered after signing.
#   signed_copies.sh PROGRAM FOLDER
set -euo pipefail
program=${1:?program} folder=${2:?output folder}
mkdir -p "$folder"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lensbeacon test signer" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl x509 -in "$work/cert.pem" -outform DER -out "$folder/signer.der"
name=$(basename "$program" .exe)
rm -f "$folder/$name-signed.exe"  # osslsigncode writes no file that exists
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -h sha256 \
  -in "$program" -out "$folder/$name-signed.exe" >/dev/null
# The byte at 0x1000 lies in the first section (the code), which the
# signature's hash covers.
python3 - "$folder/$name-signed.exe" "$folder/$name-altered.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[0x1000] ^= 0xFF
open(sys.argv[2], "wb").write(data)
PY
