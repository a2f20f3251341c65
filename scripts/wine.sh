#!/usr/bin/env bash
# Run 64-bit Windows programs headless in Pictavor's private Wine prefix
# (build/wineprefix). Nothing here needs 32-bit Wine (wine32:i386).
# PICTAVOR_WINEPREFIX chooses another prefix; PICTAVOR_WINE_GRAPHICS=x11 makes one that draws
# on $DISPLAY (the demo's screenshot) instead of the null driver.
# Usage: scripts/wine.sh init            make a fresh prefix
#        scripts/wine.sh run EXE [ARG]...  run EXE in it (made first if absent);
#                                        exits with EXE's exit status
#        scripts/wine.sh stop            end the prefix's wineserver
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

export WINEPREFIX="${PICTAVOR_WINEPREFIX:-$PICTAVOR_BUILD/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="

# With only wine64 installed, the "wine" wrapper runs /usr/lib/wine/wine64.
command -v wine >/dev/null || die "wine is not installed (scripts/install-packages.sh windows)"

stop() { wineserver -k 2>/dev/null || true; }

init() {
  local start; start=$(now)
  stop
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wine wineboot -i >/dev/null 2>&1 || die "wineboot -i failed in $WINEPREFIX"
  # The null graphics driver: windows and device contexts work without X.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "${PICTAVOR_WINE_GRAPHICS:-null}" /f >/dev/null 2>&1 ||
    die "could not set the Graphics driver in $WINEPREFIX"
  wineserver -w  # flush the registry to disk
  log "wine prefix ready in $(( $(now) - start ))s: $WINEPREFIX"
}

run() {
  [[ $# -ge 1 ]] || die "usage: scripts/wine.sh run EXE [ARG]..."
  [[ -f $WINEPREFIX/system.reg ]] || init
  wine "$@"
}

case "${1:-}" in
  init) init ;;
  run)  shift; run "$@" ;;
  stop) stop ;;
  *) die "usage: scripts/wine.sh init | run EXE [ARG]... | stop" ;;
esac
