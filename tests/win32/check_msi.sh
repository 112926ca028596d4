#!/usr/bin/env bash
# The Windows Installer package as IT deploys it, under Wine, in the preset's prefix: signed after its
# programs (when ZIROZE_SIGN_CA names the authority), a silent install, the installed station's first
# start, an upgrade by a rebuild of the same version, an older version refused, and the removal,
# which leaves the port and the vendor's files. The 64-bit package is installed into a folder given
# on the command line, which the upgrade must keep.
#   check_msi.sh <package.msi> <make_msi.sh> <32|64> <version> <maker> <wine-run> <wine loader>
#                <win32_window_tests.exe>
set -euo pipefail
msi=$1 make_msi=$2 bits=$3 version=$4 maker=$5 wine_run=$6 wine=$7 window_tests=$8
[[ -f "$msi" ]] || { echo "No package $msi: make it with cpack --preset win$bits after the build."; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "$*"; status=1; }

msiextract -C "$work/files" "$msi" >/dev/null
if [[ -n "${ZIROZE_SIGN_CA:-}" ]]; then
  for file in "$msi" "$work/files/ZIROZE01/ZIROZE01.exe" "$work/files/ZIROZE01/simulator/VANTOCSAPI.dll"; do
    osslsigncode verify -CAfile "$ZIROZE_SIGN_CA" -in "$file" 2>&1 | grep -q "Signature verification: ok" ||
      fail "$file: no valid signature by a certificate of $ZIROZE_SIGN_CA"
  done
fi
# A rebuild of the same version (a new product code), and an older version.
bash "$make_msi" "$work/files/ZIROZE01" "$work/rebuilt.msi" "$bits" "$version" "$maker"
bash "$make_msi" "$work/files/ZIROZE01" "$work/older.msi" "$bits" 0.0.1 "$maker"

# The prefix that wine-run keeps for the window tests, made if need be.
"$wine_run" "$wine" "$window_tests" --gtest_list_tests >/dev/null
export WINEPREFIX=$(cd "$(dirname "$window_tests")/.." && pwd)/wineprefix WINEDEBUG=-all LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8
msiexec() { "$wine" msiexec "$@" /qn /l*v 'Z:'"${work//\//\\}"'\msiexec.log'; }
windows() { printf 'Z:%s' "${1//\//\\}"; }
if [[ $bits == 64 ]]; then
  folder='C:\Clinic\ZIROZE01' unix=$WINEPREFIX/drive_c/Clinic/ZIROZE01
  install=(INSTALLDIR="$folder")
else
  folder='C:\ZIROZE01' unix=$WINEPREFIX/drive_c/ZIROZE01 install=()
fi
installed() {
  for file in ZIROZE01.exe INSTALL.txt simulator/VANTOCSAPI.dll; do [[ -f "$unix/$file" ]] || return 1; done
}
# Wine: the all-users Start menu is found in the user's profile; a desk keeps it under ProgramData.
shortcut() { find "$WINEPREFIX/drive_c" -name 'ZIROZE01 成人預防保健服務資格查詢.lnk' | grep -q .; }
# The products in "Programs and Features" named ZIROZE01, once the wineserver has ended and saved
# the registry.
entries() {
  "${wine%/*}/wineserver" -w
  awk '/^\[/ { uninstall = /CurrentVersion\\\\Uninstall\\\\/ } uninstall && /^"DisplayName"="ZIROZE01"$/ { n++ }
       END { print n + 0 }' "$WINEPREFIX/system.reg"
}

# What an earlier run left goes first.
[[ $(entries) == 0 ]] || msiexec /x "$(windows "$msi")" || true
rm -rf "$unix"
msiexec /i "$(windows "$msi")" "${install[@]}" || fail "the silent install failed ($?)"
installed || fail "the install left no station in $folder"
[[ ! -e "$unix/VANTOCSAPI.dll" && ! -e "$unix/VANTOQuery.ini" ]] || fail "the install put a card library or settings beside the program"
shortcut || fail "no Start-menu shortcut"
ZIROZE_INSTALLED_DIR=$folder "$wine_run" "$wine" "$window_tests" --gtest_filter='InstalledStation.*' || status=1
# The vendor's files, copied in by hand.
echo vendor >"$unix/VANTOCSAPI.dll"
echo vendor >"$unix/Reader.dll"
port=$(cat "$unix/VANTOQuery.ini" 2>/dev/null || true)

msiexec /i "$(windows "$work/rebuilt.msi")" || fail "the upgrade by a rebuild failed ($?)"
installed || fail "the upgrade left no station in $folder"
[[ $(entries) == 1 ]] || fail "$(entries) entries in Programs and Features after the upgrade"
# Wine: a refused launch condition leaves its message in no log under /qn; make_msi.sh checks the
# message's row.
if msiexec /i "$(windows "$work/older.msi")"; then fail "an older version was installed over the newer one"; fi
installed && [[ $(entries) == 1 ]] || fail "the refused older version changed the installed station"

msiexec /x "$(windows "$work/rebuilt.msi")" || fail "the removal failed ($?)"
[[ ! -e "$unix/ZIROZE01.exe" && ! -e "$unix/INSTALL.txt" && ! -e "$unix/simulator" ]] || fail "the removal left the station"
! shortcut || fail "the removal left the shortcut"
[[ $(entries) == 0 ]] || fail "the removal left the entry in Programs and Features"
[[ -n "$port" && "$(cat "$unix/VANTOQuery.ini" 2>/dev/null)" == "$port" ]] || fail "the port did not outlive the upgrade and removal"
[[ -f "$unix/VANTOCSAPI.dll" && -f "$unix/Reader.dll" ]] || fail "the vendor's files did not outlive the upgrade and removal"
rm -rf "$unix"
exit $status
