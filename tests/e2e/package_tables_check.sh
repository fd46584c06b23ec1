#!/usr/bin/env bash
# Reads the installer package's tables back with msiinfo: the build's own
# package, and the package of the other architecture made from the same
# programs with the same source, so both variants are checked on any machine.
#   package_tables_check.sh MSI ARCH VERSION MAKE_MSI PROGRAMS WORK
set -euo pipefail
msi=${1:?package} arch=${2:?x86 or x64} version=${3:?version} make_msi=${4:?make-msi.sh}
programs=${5:?programs folder} work=${6:?scratch folder}
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; else echo "ok: $1"; fi; }
# The rows of one table, without its three header lines.
rows() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }
# The columns of the row whose first column is $3, tab-separated.
row() { rows "$1" "$2" | awk -F'\t' -v key="$3" '$1 == key'; }
sequence() { row "$1" InstallExecuteSequence "$2" | cut -f3; }

check_package() {
  local msi=$1 arch=$2 label="$2 package"
  local folder=ProgramFilesFolder view=32 win64=0 template=Intel
  if [ "$arch" = x64 ]; then folder=ProgramFiles64Folder view=64 win64=256 template=x64; fi

  local expected=(Hoistrun.exe InstLenswatch.exe Lenscheck.exe Lensdial.exe Lensmemo.dll Lenspop.exe
                  LenspopUI.exe Lenswatch.exe Plainrun.exe Lensbeacon.admx Lensbeacon.adml)
  local files
  files=$(rows "$msi" File | cut -f3 | sort | tr '\n' ' ')
  check "$label: files are exactly ${expected[*]}" \
    "[ \"\$files\" = \"$(printf '%s\n' "${expected[@]}" | sort | tr '\n' ' ')\" ]"
  check "$label: installs into [$folder]Lensbeacon" \
    "[ \"\$(row \"\$msi\" Directory INSTALLFOLDER | cut -f2,3)\" = \"$folder	Lensbeacon\" ]"
  check "$label: PolicyDefinitions\\Lensbeacon.admx and PolicyDefinitions\\en-US\\Lensbeacon.adml" \
    "row \"\$msi\" Directory PolicyDefinitionsFolder | cut -f2,3 | grep -qx 'INSTALLFOLDER	PolicyDefinitions' &&
     row \"\$msi\" Directory PolicyDefinitionsEnUsFolder | cut -f2,3 | grep -qx 'PolicyDefinitionsFolder	en-US' &&
     row \"\$msi\" File Lensbeacon.admx | cut -f2 | grep -qx PolicyTemplate && row \"\$msi\" Component PolicyTemplate | cut -f3 | grep -qx PolicyDefinitionsFolder &&
     row \"\$msi\" File Lensbeacon.adml | cut -f2 | grep -qx PolicyTemplateEnUs && row \"\$msi\" Component PolicyTemplateEnUs | cut -f3 | grep -qx PolicyDefinitionsEnUsFolder"
  check "$label: every component in the $view-bit view" \
    "! rows \"\$msi\" Component | awk -F'\t' -v w=$win64 'int(\$4 / 256) % 2 * 256 != w' | grep -q ."
  check "$label: summary names the platform $template" \
    "msiinfo suminfo \"\$msi\" | grep -qx 'Template: $template;1033'"

  # Registry: the settings key is created, the administrator's values are
  # written from their properties by conditional, permanent components, and
  # nothing writes the user's switch.
  local key='2	Software\Orvane\Lensbeacon'
  check "$label: creates the settings key" \
    "rows \"\$msi\" Registry | cut -f2-5 | grep -qxF \"\$key	+	\""
  check "$label: CheckUSBCamera from CHECKUSBCAMERA" \
    "rows \"\$msi\" Registry | cut -f2-5 | grep -qxF \"\$key	CheckUSBCamera	#[CHECKUSBCAMERA]\""
  check "$label: ShowCfgTip from SHOWCFGTIP" \
    "rows \"\$msi\" Registry | cut -f2-5 | grep -qxF \"\$key	ShowCfgTip	#[SHOWCFGTIP]\""
  check "$label: no ShowOSD row" "! rows \"\$msi\" Registry | grep -q ShowOSD"
  check "$label: only the settings key is written" \
    "! rows \"\$msi\" Registry | cut -f2,3 | grep -vxF \"\$key\" | grep -q ."
  check "$label: CheckUSBCamera only for 0 or 1, permanent" \
    "[ \"\$(row \"\$msi\" Component CheckUsbCameraSetting | cut -f4,5)\" = \"$((win64 + 20))	CHECKUSBCAMERA=\\\"0\\\" OR CHECKUSBCAMERA=\\\"1\\\"\" ]"
  check "$label: ShowCfgTip only for 0 or 1, permanent" \
    "[ \"\$(row \"\$msi\" Component ShowCfgTipSetting | cut -f4,5)\" = \"$((win64 + 20))	SHOWCFGTIP=\\\"0\\\" OR SHOWCFGTIP=\\\"1\\\"\" ]"

  # The service: registered by the suite's installer as LocalSystem, not by
  # the service tables.
  check "$label: no ServiceInstall or ServiceControl rows" \
    "[ -z \"\$(rows \"\$msi\" ServiceInstall)\$(rows \"\$msi\" ServiceControl)\" ]"
  check "$label: InstLenswatch -i, deferred, not impersonated" \
    "[ \"\$(row \"\$msi\" CustomAction InstallService | cut -f2-4)\" = '3090	InstLenswatch.exe	-i' ]"
  check "$label: InstLenswatch -u, deferred, not impersonated" \
    "[ \"\$(row \"\$msi\" CustomAction UninstallService | cut -f2-4)\" = '3090	InstLenswatch.exe	-u' ]"
  check "$label: both have rollback actions" \
    "[ \"\$(row \"\$msi\" CustomAction RollbackInstallService | cut -f2-4)\" = '3410	InstLenswatch.exe	-u' ] &&
     [ \"\$(row \"\$msi\" CustomAction RollbackUninstallService | cut -f2-4)\" = '3410	InstLenswatch.exe	-i' ]"
  check "$label: the settings key is deleted in the $view-bit view" \
    "row \"\$msi\" CustomAction RemoveSettingsKey | cut -f2,4 | grep -qxF '3186	delete \"HKLM\\Software\\Orvane\\Lensbeacon\" /f /reg:$view'"
  check "$label: only a removal that is no upgrade deletes it" \
    "[ \"\$(row \"\$msi\" InstallExecuteSequence RemoveSettingsKey | cut -f2)\" = 'REMOVE~=\"ALL\" AND NOT UPGRADINGPRODUCTCODE' ]"

  # Order: the older product goes before anything is installed; the service
  # goes before the files, and comes after the files and the registry.
  check "$label: older product removed between validation and installation" \
    "[ \$(sequence \"\$msi\" InstallValidate) -lt \$(sequence \"\$msi\" RemoveExistingProducts) ] &&
     [ \$(sequence \"\$msi\" RemoveExistingProducts) -lt \$(sequence \"\$msi\" InstallInitialize) ]"
  check "$label: settings kept before, restored after the older product goes" \
    "[ \$(sequence \"\$msi\" KeepSettings) -lt \$(sequence \"\$msi\" RemoveExistingProducts) ] &&
     [ \$(sequence \"\$msi\" RestoreSettings) -lt \$(sequence \"\$msi\" WriteRegistryValues) ]"
  check "$label: service removed before the files" \
    "[ \$(sequence \"\$msi\" UninstallService) -lt \$(sequence \"\$msi\" RemoveFiles) ]"
  check "$label: service installed after the files and values" \
    "[ \$(sequence \"\$msi\" WriteRegistryValues) -lt \$(sequence \"\$msi\" InstallService) ] &&
     [ \$(sequence \"\$msi\" InstallFiles) -lt \$(sequence \"\$msi\" InstallService) ]"

  # Properties and upgrades.
  check "$label: ProductVersion $version" "[ \"\$(row \"\$msi\" Property ProductVersion | cut -f2)\" = $version ]"
  check "$label: the fixed UpgradeCode" \
    "row \"\$msi\" Property UpgradeCode | cut -f2 | grep -qix '{cdbeb606-86f0-4c32-83ac-a5c7e49b64f3}'"
  check "$label: per-machine" "[ \"\$(row \"\$msi\" Property ALLUSERS | cut -f2)\" = 1 ]"
  check "$label: public properties are secure" \
    "row \"\$msi\" Property SecureCustomProperties | grep -q CHECKUSBCAMERA &&
     row \"\$msi\" Property SecureCustomProperties | grep -q SHOWCFGTIP"
  check "$label: removes versions up to and including $version" \
    "rows \"\$msi\" Upgrade | cut -f2,3,5,7 | grep -qxF '0.0.0	$version	768	LENSBEACON_OLDER'"
  check "$label: newer versions only detected, and refused" \
    "rows \"\$msi\" Upgrade | cut -f2,3,5,7 | grep -qxF '$version		2	LENSBEACON_NEWER' &&
     rows \"\$msi\" LaunchCondition | grep -q '^NOT LENSBEACON_NEWER'"
  check "$label: Start-menu shortcut \"Lensbeacon settings\" to Lensdial.exe" \
    "row \"\$msi\" Shortcut SettingsShortcut | cut -f2,3,5 | grep -qxF 'ProgramMenuFolder	Lensbeacon settings	[#Lensdial.exe]'"
}

check_package "$msi" "$arch"
other=x86
[ "$arch" = x86 ] && other=x64
rm -rf "$work"
"$make_msi" --arch "$other" --version "$version" --programs "$programs" --work "$work" \
  --output "$work/Lensbeacon-$other.msi" >/dev/null
check_package "$work/Lensbeacon-$other.msi" "$other"
exit $fail
