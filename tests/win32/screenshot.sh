#!/usr/bin/env bash
# The README's picture of the Windows station: the window tests' Screenshot case on Wine's X11
# driver under a virtual display, when ZIROZE_SCREENSHOT_DIR names the folder for it; once in the
# "Light" visual style (win32-station.png) and once in the classic look (win32-station-classic.png).
#   screenshot.sh <xvfb-run> <wine loader> <win32_window_tests.exe>
set -euo pipefail
if [[ -z "${ZIROZE_SCREENSHOT_DIR:-}" ]]; then
  echo "ZIROZE_SCREENSHOT_DIR not set: no picture"
  exit 77
fi
mkdir -p "$ZIROZE_SCREENSHOT_DIR"
export ZIROZE_WINE_GRAPHICS=x11
status=0
for theme in light classic; do
  ZIROZE_WINE_THEME=$theme "$1" -a -s "-screen 0 1600x1200x24" "$(dirname "$0")/../../scripts/wine-run" "$2" "$3" \
    --gtest_filter='*Screenshot' || status=1
done
exit $status
