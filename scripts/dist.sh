#!/usr/bin/env bash
# The distribution of the Windows builds: for each, a staged folder as it is installed (the DLL,
# pictavor.exe and pictavor_regfree.exe, the SDK, the member reference and the samples) and its
# MSI made with wixl; then one archive of both folders and both MSIs, build/pictavor-VERSION.zip.
# Usage: scripts/dist.sh BUILD...   (win64, win32; each must be built)
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$PICTAVOR_ROOT"
VERSION=1.0.0
DIST=build/dist

stage() {  # stage BUILD DIR: the installed folder of BUILD
  local build="$1" dir="$2" bin="build/$1/bin"
  rm -rf "$dir"
  mkdir -p "$dir/sdk" "$dir/docs" "$dir/samples/plugins"
  cp "$bin/Pictavor.dll" "$bin/pictavor.exe" "$bin/pictavor_regfree.exe" "$dir/"
  cp -r "build/$build/sdk/include" "build/$build/sdk/lib" "$dir/sdk/"
  cp docs/reference.md "$dir/docs/"
  cp -r samples/c samples/cpp samples/vbscript samples/vba "$dir/samples/"
  cp samples/plugins/*.c "build/$build/plugins/"*.dll "$dir/samples/plugins/"
}

package() {  # package BUILD: its staged folder and MSI
  local build="$1" arch
  case "$build" in win64) arch=x64 ;; win32) arch=x86 ;; *) die "unknown build $build" ;; esac
  for f in Pictavor.dll pictavor.exe pictavor_regfree.exe sdk/lib/libPictavor.dll.a; do
    [[ -f build/$build/bin/$f || -f build/$build/${f} ]] || die "build/$build lacks $f: build it first"
  done
  local dir="$DIST/$build/Pictavor" msi="$DIST/Pictavor-$VERSION-$build.msi"
  stage "$build" "$dir"
  python3 scripts/msi.py "$dir" --arch "$arch" --idl resources/pictavor.idl --resources resources \
    --out "$DIST/pictavor-$build.wxs"
  # wixl reads the sources relative to the folder it runs in; its GLib warnings are noise.
  (cd "$dir" && wixl -a "$arch" -o "$PICTAVOR_ROOT/$msi" "$PICTAVOR_ROOT/$DIST/pictavor-$build.wxs" \
    2> >(grep -v -e GLib -e '^$' >&2))
  log "$msi"
}

[[ $# -gt 0 ]] || die "usage: scripts/dist.sh BUILD..."
command -v wixl >/dev/null || die "wixl is missing (scripts/install-packages.sh windows)"
for build in "$@"; do package "$build"; done
archive="build/pictavor-$VERSION.zip"
rm -f "$archive"
(cd "$DIST" && python3 -m zipfile -c "$PICTAVOR_ROOT/$archive" "$@" ./*.msi)
log "$archive"
