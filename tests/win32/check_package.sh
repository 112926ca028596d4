#!/usr/bin/env bash
# Checks a Windows package: exactly the station, its install note and the simulator in a subfolder;
# programs for the package's Windows that import only Windows' own DLLs.
#   check_package.sh <ZIROZE01-version-win32.zip|...-win64.zip> <objdump>
set -euo pipefail
zip=$1
objdump=$2
if [[ ! -f "$zip" ]]; then
  echo "No package $zip: make it with cpack --preset win32 (or win64) after the build."
  exit 1
fi
name=$(basename "$zip" .zip)

expected=$(printf '%s\n' "$name/INSTALL.txt" "$name/ZIROZE01.exe" "$name/simulator/VANTOCSAPI.dll")
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [[ "$actual" != "$expected" ]]; then
  printf 'The package holds:\n%s\nbut should hold:\n%s\n' "$actual" "$expected"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

# 32-bit programs in the win32 package, 64-bit ones in the win64 package.
case "$name" in
  *-win32) magic=010b ;;
  *-win64) magic=020b ;;
  *) echo "$name: neither win32 nor win64"; exit 1 ;;
esac
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|ole32|oleaut32|oleacc|advapi32|shell32|shlwapi|uxtheme|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for program in ZIROZE01.exe simulator/VANTOCSAPI.dll; do
  headers=$("$objdump" -p "$work/$name/$program")
  if ! grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers"; then
    echo "$program is not a program for $name"
    status=1
  fi
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  if [[ -z "$dlls" ]]; then
    echo "$program: no imports found"
    status=1
  fi
  while read -r dll; do
    if ! grep -Eqi "$allowed" <<<"$dll"; then
      echo "$program imports $dll, which is not part of Windows"
      status=1
    fi
  done <<<"$dlls"
  echo "$program imports:" $dlls
done
if ! grep -Eq "^Subsystem[[:space:]]+0*2[[:space:]]" <<<"$("$objdump" -p "$work/$name/ZIROZE01.exe")"; then
  echo "ZIROZE01.exe is not a Windows GUI program"
  status=1
fi
exit $status
