#!/usr/bin/env bash
# Makes the installer package from the built programs.
#   make-msi.sh --arch x86|x64 --version X.Y.Z --programs DIR --work DIR --output FILE.msi
#
# x86 is the shipped package (32-bit programs in "Program Files (x86)" on a
# 64-bit Windows, 32-bit registry view); x64 packages a 64-bit build of the
# same sources the same way in the 64-bit locations. The programs are copied
# into WORK/stage, signed there when a certificate is given, packed by wixl
# from Lensbeacon.wxs beside this script, and the package itself is signed
# last.
#
# Signing: LENSBEACON_SIGN_CERT and LENSBEACON_SIGN_KEY name a PEM
# certificate (chain) and its PEM private key; LENSBEACON_SIGN_PASSFILE
# optionally names a file holding the key's passphrase, and
# LENSBEACON_SIGN_TIMESTAMP an RFC 3161 time-stamp server URL. Without a
# certificate the package is built unsigned, and says so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

arch= version= programs= work= output=
while [ $# -gt 0 ]; do
  case "$1" in
  --arch) arch=$2 ;;
  --version) version=$2 ;;
  --programs) programs=$2 ;;
  --work) work=$2 ;;
  --output) output=$2 ;;
  *) echo "make-msi.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done
: "${arch:?--arch}" "${version:?--version}" "${programs:?--programs}" "${work:?--work}" "${output:?--output}"
work=$(realpath -m "$work")
output=$(realpath -m "$output")
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "make-msi.sh: version $version is not MAJOR.MINOR.PATCH" >&2
  exit 2
fi

# Per-architecture locations and component identities. The registry
# components get fixed identities of their own per architecture, since a
# component must keep one bitness for ever.
upgrade_code=cdbeb606-86f0-4c32-83ac-a5c7e49b64f3
case "$arch" in
x86)
  defines=(-D ProgramFilesFolder=ProgramFilesFolder -D SystemFolder=SystemFolder
           -D RegistryView=32 -D Win64=no
           -D SettingsKeyGuid=73ac504a-3beb-49be-9a63-a813d389bd1e
           -D CheckUsbCameraGuid=da28009e-1f7f-4589-a3ad-ebc7d67630b0
           -D ShowCfgTipGuid=875eb0a3-08ab-405f-a9c1-829b0159a5f7)
  win64_bit=0 ;;
x64)
  defines=(-D ProgramFilesFolder=ProgramFiles64Folder -D SystemFolder=System64Folder
           -D RegistryView=64 -D Win64=yes
           -D SettingsKeyGuid=4ed42abf-3b10-4a4b-94d1-565d741d6c5d
           -D CheckUsbCameraGuid=52ed18be-20dd-4c44-8d82-897144b5754e
           -D ShowCfgTipGuid=0ede0a39-85b7-4bf2-9b31-6805f3503ebc)
  win64_bit=256 ;;
*) echo "make-msi.sh: architecture $arch is not x86 or x64" >&2; exit 2 ;;
esac

files=(Lenswatch.exe InstLenswatch.exe Hoistrun.exe Plainrun.exe LenspopUI.exe Lenspop.exe
       Lensmemo.dll Lensdial.exe Lenscheck.exe)

stage="$work/stage"
rm -rf "$stage"
mkdir -p "$stage"
for f in "${files[@]}"; do
  cp "$programs/$f" "$stage/$f"
done
# The administrative templates, for administrators to copy to their central
# store; they are not signed.
templates=(policy/Lensbeacon.admx policy/en-US/Lensbeacon.adml)
mkdir -p "$stage/policy/en-US"
for f in "${templates[@]}"; do
  cp "$programs/$f" "$stage/$f"
done

signing=0
if [ -n "${LENSBEACON_SIGN_CERT:-}" ] || [ -n "${LENSBEACON_SIGN_KEY:-}" ]; then
  for variable in LENSBEACON_SIGN_CERT LENSBEACON_SIGN_KEY; do
    if [ ! -r "${!variable:-}" ]; then
      echo "make-msi.sh: $variable must name a readable PEM file" >&2
      exit 1
    fi
  done
  signing=1
fi
# Signs one file in place with the administrator's certificate.
sign() {
  local options=(-certs "$LENSBEACON_SIGN_CERT" -key "$LENSBEACON_SIGN_KEY" -h sha256
                 -n Lensbeacon -i https://orvane.invalid/lensbeacon)
  [ -n "${LENSBEACON_SIGN_PASSFILE:-}" ] && options+=(-readpass "$LENSBEACON_SIGN_PASSFILE")
  [ -n "${LENSBEACON_SIGN_TIMESTAMP:-}" ] && options+=(-ts "$LENSBEACON_SIGN_TIMESTAMP")
  osslsigncode sign "${options[@]}" -in "$1" -out "$1.signed" >/dev/null
  mv "$1.signed" "$1"
}
if [ "$signing" -eq 1 ]; then
  for f in "${files[@]}"; do sign "$stage/$f"; done
fi

package="$work/Lensbeacon.msi"
rm -f "$package"
# wixl resolves each File Source against the working folder.
(cd "$stage" && wixl -a "$arch" -D Version="$version" -D UpgradeCode="$upgrade_code" \
  "${defines[@]}" -o "$package" "$here/Lensbeacon.wxs" 2>"$work/wixl.log") || {
  cat "$work/wixl.log" >&2
  exit 1
}

# What wixl 0.101 cannot say in the source, set in the tables directly
# (columns that belong to a table's key, or that libmsi cannot update, are
# replaced row by row):
# - rollback actions (it writes Execute="rollback" as an immediate action);
# - the administrator's values are written only when their property is 0 or
#   1 (no Condition in a Component) and are permanent (no Permanent);
# - same-version packages replace each other (no IncludeMaximum);
# - the Start-menu shortcut points at the file itself rather than being
#   advertised (no Advertise="no");
# - the public properties reach the elevated part of the install (no Secure).
rollback_type=$((18 + 64 + 256 + 1024 + 2048))  # installed exe, result ignored, rollback, no impersonation
admin_value_attributes=$((win64_bit + 4 + 16))  # registry key path, permanent
upgrade_code_upper=${upgrade_code^^}
queries=(
  "UPDATE \`CustomAction\` SET \`Type\` = $rollback_type WHERE \`Action\` = 'RollbackInstallService'"
  "UPDATE \`CustomAction\` SET \`Type\` = $rollback_type WHERE \`Action\` = 'RollbackUninstallService'"
  "UPDATE \`Component\` SET \`Condition\` = 'CHECKUSBCAMERA=\"0\" OR CHECKUSBCAMERA=\"1\"', \`Attributes\` = $admin_value_attributes WHERE \`Component\` = 'CheckUsbCameraSetting'"
  "UPDATE \`Component\` SET \`Condition\` = 'SHOWCFGTIP=\"0\" OR SHOWCFGTIP=\"1\"', \`Attributes\` = $admin_value_attributes WHERE \`Component\` = 'ShowCfgTipSetting'"
  "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'LENSBEACON_OLDER'"
  "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade_code_upper}', '0.0.0', '$version', 768, 'LENSBEACON_OLDER')"
  "DELETE FROM \`Property\` WHERE \`Property\` = 'SecureCustomProperties'"
  "INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('SecureCustomProperties', 'LENSBEACON_OLDER;LENSBEACON_NEWER;CHECKUSBCAMERA;SHOWCFGTIP')"
  "UPDATE \`Shortcut\` SET \`Target\` = '[#Lensdial.exe]' WHERE \`Shortcut\` = 'SettingsShortcut'"
)
for query in "${queries[@]}"; do
  # msibuild reports a failed query on stderr only.
  if msibuild "$package" -q "$query" 2>&1 | grep .; then
    echo "make-msi.sh: table update failed: $query" >&2
    exit 1
  fi
done

if [ "$signing" -eq 1 ]; then
  sign "$package"
  echo "Lensbeacon.msi $version ($arch): programs and package signed with $LENSBEACON_SIGN_CERT"
else
  echo "Lensbeacon.msi $version ($arch): UNSIGNED (set LENSBEACON_SIGN_CERT and LENSBEACON_SIGN_KEY" \
    "to sign)"
  # Programs from a build that signs ask for UI access, and Windows starts
  # such a program only when it is signed.
  if grep -aq 'uiAccess="true"' "$stage/LenspopUI.exe"; then
    echo "make-msi.sh: warning: LenspopUI.exe asks for UI access but is not signed;" \
      "Windows will not start it" >&2
  fi
fi
mkdir -p "$(dirname "$output")"
cp "$package" "$output.tmp"
mv "$output.tmp" "$output"
