#!/usr/bin/env bash
# Checks a Windows package: exactly the station, its install note and the simulator in a subfolder;
# programs for the package's Windows that import only Windows' own DLLs, signed by a certificate of
# the authority ZIROZE_SIGN_CA names (when it names one); the install note's facts for this package;
# then, under Wine, the station's version resource and the note's trial with the simulator, with the
# packed programs (the PackageNote cases of the window tests).
#   check_package.sh <ZIROZE01-version-win32.zip|...-win64.zip> <objdump> <wine-run> <wine loader>
#                    <win32_window_tests.exe>
set -euo pipefail
zip=$1
objdump=$2
wine_run=$3
wine=$4
window_tests=$5
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

if [[ -n "${ZIROZE_SIGN_CA:-}" ]]; then
  for program in ZIROZE01.exe simulator/VANTOCSAPI.dll; do
    if ! result=$(osslsigncode verify -CAfile "$ZIROZE_SIGN_CA" -in "$work/$name/$program" 2>&1) ||
      ! grep -q "Signature verification: ok" <<<"$result"; then
      printf '%s: no valid signature by a certificate of %s\n%s\n' "$program" "$ZIROZE_SIGN_CA" "$result"
      status=1
    else
      echo "$program: signed, $(grep -m1 'Subject:' <<<"$result" | sed 's/^[[:space:]]*//')"
    fi
  done
else
  echo "ZIROZE_SIGN_CA names no certificate authority: the signatures are not checked"
fi

# The note of this package: Notepad's UTF-8 with Windows' line breaks, Chinese first, and the facts
# that differ between the two packages.
note=$work/$name/INSTALL.txt
bits=${name##*-win}
other=$((96 - bits))
other_package=${name%-win*}-win$other
case "$bits" in
  32) windows=("在 32 位元或 64 位元的 Windows 上執行" "runs on 32-bit or 64-bit Windows.") ;;
  64) windows=("在 64 位元的 Windows 上執行" "runs on 64-bit Windows.") ;;
esac
[[ $(head -c3 "$note" | od -An -tx1) == " ef bb bf" ]] || { echo "INSTALL.txt: no UTF-8 byte-order mark"; status=1; }
awk '!/\r$/ { bad = 1 } END { exit bad }' "$note" || { echo "INSTALL.txt: a line without CR LF"; status=1; }
chinese=$(grep -n -m1 -F "ZIROZE01 成人預防保健服務資格查詢 — 安裝說明（$name）" "$note" | cut -d: -f1)
english=$(grep -n -m1 -F "ZIROZE01 adult preventive care eligibility station — installation ($name)" "$note" |
  cut -d: -f1)
if [[ -z "$chinese" || -z "$english" || "$chinese" -ge "$english" ]]; then
  echo "INSTALL.txt: not the Chinese then the English note of $name"
  status=1
fi
for fact in "本套件為 $bits 位元版" "廠商的 $bits 位元 VANTOCSAPI.dll" "若是 $other 位元，請改用 $other_package.zip" \
  "This is the $bits-bit package" "vendor's $bits-bit VANTOCSAPI.dll" "is $other-bit, take $other_package.zip" \
  "${windows[@]}"; do
  grep -qF "$fact" "$note" || { echo "INSTALL.txt of $name lacks: $fact"; status=1; }
done
for wrong in "本套件為 $other 位元版" "This is the $other-bit package" "請改用 $name.zip" "take $name.zip"; do
  ! grep -qF "$wrong" "$note" || { echo "INSTALL.txt of $name says: $wrong"; status=1; }
done

# Wine sees the Unix file system as drive Z:.
ZIROZE_PACKAGE_DIR="Z:${work//\//\\}\\$name" "$wine_run" "$wine" "$window_tests" --gtest_filter='PackageNote.*' ||
  status=1
exit $status
