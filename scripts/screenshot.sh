#!/usr/bin/env bash
# A screenshot of Pictavor embedded in the system's ATL container, on a virtual X display:
# the win64 build runs in a Wine prefix of its own that draws on X (build/wineprefix-x11).
# SCENE "menu" photographs the context menu open, "windows" the log and histogram windows,
# "gamma" and "resize" those parameter dialogs.
# Usage: scripts/screenshot.sh PICTURE OUTPUT.png [SCENE]
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

picture=$(realpath "${1:?usage: scripts/screenshot.sh PICTURE OUTPUT.png}")
output=$(realpath -m "${2:?usage: scripts/screenshot.sh PICTURE OUTPUT.png}")
scene="${3:-}"
bin="$PICTAVOR_BUILD/win64/bin"
[[ -f $bin/Pictavor.dll && -f $bin/pictavor_container.exe ]] || die "build the win64 preset first"
command -v xvfb-run >/dev/null || die "xvfb-run is missing (scripts/install-packages.sh demo)"

export PICTAVOR_WINEPREFIX="$PICTAVOR_BUILD/wineprefix-x11" PICTAVOR_WINE_GRAPHICS=x11
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inside the virtual display: register the control, show it for a while, grab the screen
# while it is up.
cat >"$work/inside.sh" <<INSIDE
set -e
wine_sh="$PICTAVOR_ROOT/scripts/wine.sh"
if [[ ! -f \$PICTAVOR_WINEPREFIX/system.reg ]]; then
  "\$wine_sh" init
  # Wine draws the window frames itself: there is no window manager on the virtual display.
  "\$wine_sh" run reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f >/dev/null
fi
"\$wine_sh" run regsvr32 /s "$bin/Pictavor.dll"
"\$wine_sh" run "$bin/pictavor_container.exe" "\$("\$wine_sh" run winepath -w "$picture" 2>/dev/null | tr -d "\\r")" 12 $scene &
sleep 8
xwd -root -silent >"$work/screen.xwd"
# Popup menus are override-redirect windows that the root grab shows black; each is grabbed
# on its own, with its place, bottom of the stack first.
xwininfo -root -tree | grep 'has no name): ("pictavor_container' | tac |
  while read -r id _ _ _ _ _ geometry _; do
    [[ \$geometry == 1x1+* ]] && continue
    xwd -id "\$id" -silent >"$work/popup-\$id.xwd"
    echo "$work/popup-\$id.xwd +\${geometry#*+}" >>"$work/popups"
  done
wait
"\$wine_sh" stop
INSIDE
WINEPREFIX="$PICTAVOR_WINEPREFIX" xvfb-run -a -s "-screen 0 940x560x24" bash "$work/inside.sh" >"$work/log" 2>&1 ||
  { cat "$work/log"; die "the container did not run"; }
layers=()
if [[ -f $work/popups ]]; then
  while read -r file place; do layers+=("xwd:$file" -geometry "$place" -composite); done <"$work/popups"
fi
/usr/bin/convert "xwd:$work/screen.xwd" "${layers[@]}" "$output"
log "screenshot: $output"
