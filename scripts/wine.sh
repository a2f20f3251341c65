#!/usr/bin/env bash
# Run Windows programs headless in Pictavor's private Wine prefix (build/wineprefix): 64-bit
# ones with wine64, 32-bit ones with wine32 (the i386 loader) where this machine can run it.
# PICTAVOR_WINEPREFIX chooses another prefix; PICTAVOR_WINE_GRAPHICS=x11 makes one that draws
# on $DISPLAY (the demo's screenshot) instead of the null driver.
# Usage: scripts/wine.sh init            make a fresh prefix
#        scripts/wine.sh run EXE [ARG]...  run EXE in it (made first if absent);
#                                        exits with EXE's exit status
#        scripts/wine.sh why-no-win32    says why 32-bit programs cannot run here, and fails;
#                                        succeeds silently where they can
#        scripts/wine.sh stop            end the prefix's wineserver
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

export WINEPREFIX="${PICTAVOR_WINEPREFIX:-$PICTAVOR_BUILD/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Debian's loaders. The "wine" wrapper picks the i386 loader whenever wine32 is installed, even
# where the kernel cannot execute it, so the 64-bit loader is called by its own name; it hands
# 32-bit programs to the i386 loader itself.
LOADER64=/usr/lib/wine/wine64
LOADER32=/usr/lib/wine/wine
[[ -x $LOADER64 ]] || die "wine64 is not installed (scripts/install-packages.sh windows)"

stop() { wineserver -k 2>/dev/null || true; }

why_no_win32() {
  if [[ ! -x $LOADER32 ]]; then
    echo "32-bit Wine is not installed: wine32:i386 (scripts/install-packages.sh wine32)"
    return 1
  fi
  local out
  if ! out="$("$LOADER32" --version 2>&1)"; then
    echo "32-bit Wine is installed but cannot start on this machine: ${out##*: }" \
         "(the kernel does not run i386 Linux programs)"
    return 1
  fi
}

# The faces Japanese programs name, drawn with the distribution's IPA Gothic. The names are
# not ASCII, so they travel as a UTF-16 registry file rather than on a command line.
replace_fonts() {
  local reg="$WINEPREFIX/font-replacements.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"%s"="IPAGothic"\r\n' 'MS Gothic' 'ＭＳ ゴシック'
    printf '"%s"="IPAPGothic"\r\n' 'MS PGothic' 'ＭＳ Ｐゴシック' 'MS UI Gothic'
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  "$LOADER64" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 \
    || die "could not set the font replacements in $WINEPREFIX"
}

# A Unix path as Wine's programs name it (Z: maps the root).
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

init() {
  local start; start=$(now)
  stop
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Made with the 32-bit half present (where it runs), so that the prefix has syswow64.
  "$LOADER64" wineboot -i >/dev/null 2>&1 || die "wineboot -i failed in $WINEPREFIX"
  # The null graphics driver: windows and device contexts work without X.
  "$LOADER64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "${PICTAVOR_WINE_GRAPHICS:-null}" /f \
    >/dev/null 2>&1 || die "could not set the Graphics driver in $WINEPREFIX"
  replace_fonts
  wineserver -w  # flush the registry to disk
  log "wine prefix ready in $(( $(now) - start ))s: $WINEPREFIX"
}

run() {
  [[ $# -ge 1 ]] || die "usage: scripts/wine.sh run EXE [ARG]..."
  [[ -f $WINEPREFIX/system.reg ]] || init
  "$LOADER64" "$@"
}

case "${1:-}" in
  init) init ;;
  run)  shift; run "$@" ;;
  why-no-win32) why_no_win32 ;;
  stop) stop ;;
  *) die "usage: scripts/wine.sh init | run EXE [ARG]... | why-no-win32 | stop" ;;
esac
