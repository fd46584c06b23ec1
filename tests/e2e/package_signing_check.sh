#!/usr/bin/env bash
# Signs a package with a throwaway code-signing certificate and checks every
# Authenticode signature with osslsigncode: each program and the library as
# they are packed inside the package, and the package itself. Without a
# certificate the package is unsigned and says so.
#   package_signing_check.sh MAKE_MSI ARCH PROGRAMS WORK
set -euo pipefail
make_msi=${1:?make-msi.sh} arch=${2:?x86 or x64} programs=${3:?programs folder} work=${4:?scratch folder}
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; else echo "ok: $1"; fi; }
rm -rf "$work"
mkdir -p "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lensbeacon test signer" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
verified() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

said=$(LENSBEACON_SIGN_CERT="$work/cert.pem" LENSBEACON_SIGN_KEY="$work/key.pem" \
  "$make_msi" --arch "$arch" --version 1.0.0 --programs "$programs" --work "$work/signed" \
  --output "$work/signed.msi")
check "the build says it signed" "grep -q 'signed with' <<<\"\$said\""
check "the package carries a valid signature" "verified \"\$work/signed.msi\""
msiextract -C "$work/packed" "$work/signed.msi" >/dev/null
count=0
while IFS= read -r -d '' binary; do
  count=$((count + 1))
  check "$(basename "$binary") inside the package is signed" "verified \"\$binary\""
done < <(find "$work/packed" -type f \( -name '*.exe' -o -name '*.dll' \) -print0)
check "every program and the library came out of the package" "[ $count -ge 9 ]"

said=$("$make_msi" --arch "$arch" --version 1.0.0 --programs "$programs" --work "$work/plain" \
  --output "$work/plain.msi")
check "an unsigned build says so" "grep -q UNSIGNED <<<\"\$said\""
check "an unsigned package carries no signature" "! verified \"\$work/plain.msi\""
exit $fail
