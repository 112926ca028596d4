#!/usr/bin/env bash
# Makes the station's Windows Installer package from a staged package folder (the zip's folder, its
# programs already signed), then checks the package's tables and fails when one is not as it must
# be: no validation of Windows Installer's own runs here. Signing the package, the last step, is the
# caller's.
#   make_msi.sh <staged folder> <package.msi> <32|64> <version> <maker>
# wixl writes the core (files, folders, shortcut, per-machine scope, major upgrade); msibuild adds
# what wixl cannot: the database's code page (without it Chinese text is stored empty), the install
# folder's permissions, the programs' file versions, and the replacement of the same version.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if (($# != 5)); then
  echo "usage: make_msi.sh <staged folder> <package.msi> <32|64> <version> <maker>" >&2
  exit 2
fi
staged=$(cd "$1" && pwd)
output=$2
bits=$3
version=$4
maker=$5
case "$bits" in
  32) arch=x86 template="Intel;1028" ;;
  64) arch=x64 template="x64;1028" ;;
  *) echo "make_msi.sh: bits must be 32 or 64, not $bits" >&2; exit 2 ;;
esac
for tool in wixl msibuild msiinfo iconv; do
  command -v "$tool" >/dev/null || { echo "make_msi.sh needs $tool (scripts/setup --tests installs it)" >&2; exit 1; }
done
# The tables take the maker as code page 950 text, on a line of its own.
if ! maker_950=$(printf '%s' "$maker" | iconv -f UTF-8 -t CP950 2>/dev/null) || [[ "$maker" == *[$'\t\r\n']* ]]; then
  echo "make_msi.sh: the maker \"$maker\" is not one line of text that code page 950 can hold" >&2
  exit 1
fi

upgrade_code={5DB38D3B-B39B-47B8-9200-4723A311F1F1}
title="ZIROZE01 成人預防保健服務資格查詢"
downgrade="已安裝較新版本的 ZIROZE01，無法安裝這個較舊的版本。要改用舊版時，請先移除已安裝的版本。 A newer version of ZIROZE01 is installed: this older version cannot be installed over it. To go back to it, remove the installed version first."
# Modify rights (read, write, execute, delete) for the built-in Users group, inherited by every file
# and folder inside, so that the clerk's account can write VANTOQuery.ini; full control for the
# system and the administrators, as Windows gives them on a new folder.
sddl="D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)"
t=$'\t'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
msi=$work/package.msi

if ! log=$(cd "$staged" && wixl -a "$arch" -D Bits="$bits" -D Version="$version" -o "$msi" "$here/ZIROZE01.wxs" 2>&1); then
  printf 'wixl failed:\n%s\n' "$log" >&2
  exit 1
fi

# The version of a program's version resource (VS_FIXEDFILEINFO, after its signature 0xFEEF04BD) as
# major.minor.build.revision, and its language (the first of its Translation value); nothing for a
# file without one.
resource_at() { LC_ALL=C grep -obUaP -m1 "$1" "$2" | head -n1 | cut -d: -f1; }
file_version() {
  local at minor major revision build
  at=$(resource_at '\xbd\x04\xef\xfe' "$1")
  [[ -n "$at" ]] || return 0
  read -r minor major revision build < <(od -An -tu2 -j $((at + 8)) -N 8 "$1")
  echo "$major.$minor.$build.$revision"
}
file_language() {
  local at
  at=$(resource_at 'T\x00r\x00a\x00n\x00s\x00l\x00a\x00t\x00i\x00o\x00n\x00\x00\x00' "$1")
  [[ -n "$at" ]] || return 0
  od -An -tu2 -j $(((at + 24 + 3) / 4 * 4)) -N 2 "$1" | tr -d ' '
}

queries=("UPDATE Shortcut SET Name='ZIROZE01|$title' WHERE Shortcut='StartMenu'"
  "UPDATE Shortcut SET Description='$title' WHERE Shortcut='StartMenu'"
  "UPDATE LaunchCondition SET Description='$downgrade' WHERE Condition='NOT WIX_DOWNGRADE_DETECTED'"
  # Up to this version inclusive, so that a rebuild of the same version replaces the installed one
  # instead of installing beside it. The attributes are part of the row's key: the row is replaced.
  "DELETE FROM Upgrade WHERE ActionProperty='WIX_UPGRADE_DETECTED'"
  "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')")
# Windows' file versioning needs the programs' versions: without them a program already on disk
# (from the zip) would be kept as the newer one. Versioned files have no hash.
declare -A versions languages sizes
while IFS= read -r -d '' file; do
  relative=${file#"$staged"/}
  id=${relative//\//.}
  sizes[$id]=$(stat -c %s "$file")
  versions[$id]=$(file_version "$file")
  languages[$id]=$(file_language "$file")
  [[ -n "${versions[$id]}" ]] || continue
  queries+=("UPDATE File SET Version='${versions[$id]}', Language='${languages[$id]}' WHERE File='$id'"
    "DELETE FROM MsiFileHash WHERE File_='$id'")
done < <(find "$staged" -type f -print0)

printf '\r\n\r\n950\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
printf '%s\r\n' "MsiLockPermissionsEx${t}LockObject${t}Table${t}SDDLText${t}Condition" "s72${t}s72${t}s32${t}s0${t}S255" \
  "MsiLockPermissionsEx${t}MsiLockPermissionsEx" "InstallFolder${t}INSTALLDIR${t}CreateFolder${t}$sddl$t" \
  >"$work/MsiLockPermissionsEx.idt"
# msibuild tells nothing of what it refused: one step at a time, so that the failing one is named.
msibuild "$msi" -i "$work/_ForceCodepage.idt" -i "$work/MsiLockPermissionsEx.idt" -s ZIROZE01 "$maker_950" "$template" >/dev/null ||
  { echo "msibuild could not set the code page, the permissions or the summary" >&2; exit 1; }
for query in "${queries[@]}"; do
  msibuild "$msi" -q "$query" >/dev/null || { echo "msibuild failed: $query" >&2; exit 1; }
done
# The maker may hold any character, which SQL's quotes cannot: the Property table goes through a
# table file. INSTALLDIR reaches the installation's server side even when a managed deployment
# elevates it.
msiinfo export "$msi" Property | tr -d '\r' |
  awk -F '\t' -v OFS='\t' -v maker="$maker" '
    $1 == "Manufacturer" { $2 = maker }
    $1 == "SecureCustomProperties" { $2 = $2 ";INSTALLDIR;REMEMBERED_INSTALLDIR" }
    { printf "%s\r\n", $0 }' >"$work/Property.idt"
msibuild "$msi" -i "$work/Property.idt"

# The tables as they must be.
failed=0
rows() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4 | LC_ALL=C sort; }
# The table holds exactly these rows.
expect_table() {
  local table=$1 actual expected
  shift
  actual=$(rows "$table")
  expected=$(printf '%s\n' "$@" | LC_ALL=C sort)
  if [[ "$actual" != "$expected" ]]; then
    printf '%s: the %s table holds\n%s\nbut should hold\n%s\n' "$output" "$table" "$actual" "$expected" >&2
    failed=1
  fi
}
# The table holds these rows, among others.
expect_rows() {
  local table=$1 actual row
  shift
  actual=$(rows "$table")
  for row in "$@"; do
    grep -qFx -- "$row" <<<"$actual" || { printf '%s: the %s table lacks the row\n%s\n' "$output" "$table" "$row" >&2; failed=1; }
  done
}

expect_rows _SummaryInformation "1${t}950" "4${t}$maker_950" "7$t$template" "14${t}500"
[[ "$(msiinfo export "$msi" _ForceCodepage | tr -d '\r' | sed -n 3p)" == "950${t}_ForceCodepage" ]] ||
  { echo "$output: the database's code page is not 950" >&2; failed=1; }
expect_rows Property "ALLUSERS${t}1" "ProductName${t}ZIROZE01" "Manufacturer$t$maker" "ProductVersion$t$version" \
  "ProductLanguage${t}1028" "UpgradeCode$t$upgrade_code" "ARPPRODUCTICON${t}ZIROZE01.exe" \
  "SecureCustomProperties${t}WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;INSTALLDIR;REMEMBERED_INSTALLDIR"
expect_table Directory "TARGETDIR$t${t}SourceDir" "WindowsVolume${t}TARGETDIR$t." "INSTALLDIR${t}WindowsVolume${t}ZIROZE01" \
  "SimulatorFolder${t}INSTALLDIR${t}simulator" "ProgramMenuFolder${t}TARGETDIR$t."
# The station, its note and the simulator; never VANTOQuery.ini, nor the vendor's VANTOCSAPI.dll or
# Reader.dll beside the program: those outlive repair, upgrade and removal.
[[ -n "${versions[ZIROZE01.exe]:-}" ]] || { echo "$output: ZIROZE01.exe has no version resource" >&2; failed=1; }
expect_table File \
  "ZIROZE01.exe${t}Station${t}ZIROZE01.exe$t${sizes[ZIROZE01.exe]}$t${versions[ZIROZE01.exe]}$t${languages[ZIROZE01.exe]}${t}512${t}1" \
  "INSTALL.txt${t}Note${t}INSTALL.txt$t${sizes[INSTALL.txt]}$t$t${t}512${t}2" \
  "simulator.VANTOCSAPI.dll${t}Simulator${t}VANTOCSAPI.dll$t${sizes[simulator.VANTOCSAPI.dll]}$t${versions[simulator.VANTOCSAPI.dll]}$t${languages[simulator.VANTOCSAPI.dll]}${t}512${t}3"
expect_table RemoveFile
if msiinfo tables "$msi" | grep -qx -e IniFile -e LockPermissions; then
  echo "$output: an IniFile or LockPermissions table" >&2
  failed=1
fi
expect_table CreateFolder "INSTALLDIR${t}Station"
expect_table MsiLockPermissionsEx "InstallFolder${t}INSTALLDIR${t}CreateFolder$t$sddl$t"
[[ $bits == 64 ]] && component=256 || component=0
actual=$(rows Component | cut -f1,3,4,6)
expected=$(printf '%s\n' "Station${t}INSTALLDIR$t$component${t}ZIROZE01.exe" "Note${t}INSTALLDIR$t$component${t}INSTALL.txt" \
  "Remembered${t}INSTALLDIR${t}4$t$(rows Registry | cut -f1)" \
  "Simulator${t}SimulatorFolder$t$component${t}simulator.VANTOCSAPI.dll" | LC_ALL=C sort)
[[ "$actual" == "$expected" ]] || { printf '%s: the components are\n%s\nnot\n%s\n' "$output" "$actual" "$expected" >&2; failed=1; }
expect_table Shortcut "StartMenu${t}ProgramMenuFolder${t}ZIROZE01|$title${t}Station${t}[#ZIROZE01.exe]$t$t$title$t$t$t$t${t}INSTALLDIR$t$t$t$t"
expect_table Registry "$(rows Registry | cut -f1)${t}2${t}Software\\ZIROZE01${t}InstallDir$t[INSTALLDIR]${t}Remembered"
expect_table RegLocator "RememberedInstallDir${t}2${t}Software\\ZIROZE01${t}InstallDir${t}2"
expect_table AppSearch "REMEMBERED_INSTALLDIR${t}RememberedInstallDir"
expect_table CustomAction "SetInstallDirRemembered${t}51${t}INSTALLDIR$t[REMEMBERED_INSTALLDIR]$t"
expect_table Upgrade "$upgrade_code$t$t$version$t${t}513$t${t}WIX_UPGRADE_DETECTED" \
  "$upgrade_code$t$version$t$t${t}2$t${t}WIX_DOWNGRADE_DETECTED"
expect_table LaunchCondition "NOT WIX_DOWNGRADE_DETECTED$t$downgrade"
# The pinned numbers: the remembered folder is taken after the search and before the folders are
# resolved, and the installed version is removed before anything of the new one is installed.
remembered="SetInstallDirRemembered${t}REMEMBERED_INSTALLDIR AND NOT INSTALLDIR${t}51"
for sequence in InstallUISequence InstallExecuteSequence; do
  expect_rows $sequence "FindRelatedProducts$t${t}25" "AppSearch$t${t}50" "$remembered" "LaunchConditions$t${t}100" \
    "CostFinalize$t${t}1000"
done
expect_rows InstallExecuteSequence "InstallValidate$t${t}1400" "RemoveExistingProducts$t${t}1401" \
  "InstallInitialize$t${t}1500" "CreateFolders$t${t}3700" "InstallFiles$t${t}4000"
((failed == 0)) || exit 1

mkdir -p "$(dirname "$output")"
mv "$msi" "$output"
