#!/usr/bin/env bash
# The first start under a real window manager: openbox on a virtual display, Wine's X11 driver with
# the window manager's frames. With no port stored, the settings dialog 環境設定 must be the active
# window and lie above the main window DoravelSerovia in the window manager's stacking order, or the
# clerk's keys would change the port of a dialog nobody sees. Then a box shown while the library
# works must give the keyboard back when it closes.
#   first_start_window_manager.sh <xvfb-run> <wine loader> <ZIROZE01.exe>
set -euo pipefail
if [[ -z "${ZIROZE_VIRTUAL_DISPLAY:-}" ]]; then
  exec env ZIROZE_VIRTUAL_DISPLAY=1 "$1" -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
wine=$2
program=$3
for tool in openbox xprop xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

# A program folder without a settings file, in the build tree, so that the Wine prefix is the build's.
build=$(cd "$(dirname "$program")/.." && pwd)
folder="$build/first-start"
rm -rf "$folder"
mkdir -p "$folder"
cp "$program" "$folder/"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done

ZIROZE_WINE_GRAPHICS=x11 ZIROZE_WINE_WINDOW_MANAGER=1 \
  "$(dirname "$0")/../../scripts/wine-run" "$wine" "$folder/ZIROZE01.exe" &
pids=($! "${pids[@]}")

name() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
# The managed windows, bottom to top.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed -n 's/^.*# //p' | tr -d ','; }
window_named() {
  for window in $(stacking); do [[ "$(name "$window")" == "$1" ]] && echo "$window" && return; done
  true
}

# A new prefix is made first, which takes a while.
main="" dialog=""
for _ in $(seq 1200); do
  main=$(window_named DoravelSerovia)
  dialog=$(window_named 環境設定)
  [[ -n "$main" && -n "$dialog" ]] && break
  sleep 0.1
done
# Let every window that is still to be mapped or raised come.
sleep 3

order=$(stacking)
active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/^.*# //p')
echo "stacking, bottom to top:"
for window in $order; do echo "  $window $(name "$window")"; done
echo "active: $active $(name "$active")"
[[ -n "$main" ]] || { echo "FAIL: no main window"; exit 1; }
[[ -n "$dialog" ]] || { echo "FAIL: no settings dialog"; exit 1; }
[[ "$(name "$active")" == 環境設定 ]] || { echo "FAIL: the active window is not 環境設定"; exit 1; }
below=$(echo "$order" | tr ' ' '\n' | grep -nx "$main" | cut -d: -f1)
above=$(echo "$order" | tr ' ' '\n' | grep -nx "$dialog" | cut -d: -f1)
((above > below)) || { echo "FAIL: 環境設定 lies below the main window"; exit 1; }

# Then the port stored, a reader that never opens, 查詢 clicked once (its middle at 96 dpi), then
# only Enter: each box "開啟 COM Port 失敗" must leave DoravelSerovia active, focus on 查詢, when it goes.
kill "${pids[0]}" && wait "${pids[0]}" || true
cp "$(dirname "$program")/VANTOCSAPI.dll" "$folder/" && printf '[\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0]\r\nCOM=3\r\n' >"$folder/VANTOQuery.ini"
printf '[status]\r\ncsOpenCom = -1\r\n' >"$folder/cardsim.ini"
ZIROZE_WINE_GRAPHICS=x11 ZIROZE_WINE_WINDOW_MANAGER=1 "$(dirname "$0")/../../scripts/wine-run" "$wine" "$folder/ZIROZE01.exe" &
pids=($! "${pids[@]}")
await_active() {  # = the main window, != another one
  for _ in $(seq 300); do
    now=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/^.*# //p')
    main=${main:-$(window_named "DoravelSerovia - 模擬讀卡機")}
    [[ -n "$main" && -n "$now" && "$now" != 0x0 ]] && [[ ("$1" == = && "$now" == "$main") || ("$1" != = && "$now" != "$main") ]] && return 0
    sleep 0.1
  done
  echo "FAIL: $2" && exit 1
}
main=""
await_active = "the main window is not active at start"
xdotool mousemove --window "$main" $(((240 + 5040 + 1815 / 2) / 15)) $(((120 + 1320 + 495 / 2) / 15)) click 1
for round in 1 2 3 4; do
  await_active != "round $round: no box" && sleep 0.5 && xdotool key Return
  await_active = "round $round: DoravelSerovia is not active after the box" && sleep 0.5 && xdotool key Return
done
echo "PASS"
