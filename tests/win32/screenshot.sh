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
# Wine draws the caption buttons as letters of its Marlett font. Debian's Wine looks for its own
# fonts (package fonts-wine) in a folder it never finds, so the picture's prefix (named as wine-run
# names it) gets Marlett in its Windows fonts folder, where Wine does look.
marlett=/usr/share/wine/fonts/marlett.ttf
if [[ ! -f "$marlett" ]]; then
  echo "No $marlett: the title bar would lack its buttons (scripts/setup --tests installs fonts-wine)"
  exit 1
fi
build="$(cd "$(dirname "$3")/.." && pwd)"
export ZIROZE_WINE_GRAPHICS=x11
status=0
fonts="$build/wineprefix-x11/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp "$marlett" "$fonts/"
for theme in light classic; do
  ZIROZE_WINE_THEME=$theme "$1" -a -s "-screen 0 1600x1200x24" "$(dirname "$0")/../../scripts/wine-run" "$2" "$3" \
    --gtest_filter='*Screenshot' || status=1
done
exit $status
