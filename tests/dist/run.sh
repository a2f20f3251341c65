#!/usr/bin/env bash
# One build's MSI as a user meets it, in a fresh Wine prefix of its own: installed with msiexec,
# the control registered machine-wide, the VBScript sample run against it, the C and C++ samples
# built against the installed SDK alone and run, then uninstalled, leaving no file and no key.
# Usage: tests/dist/run.sh win64|win32 (after scripts/dist.sh of that build)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${1:?usage: tests/dist/run.sh win64|win32}"
msi="$root/build/dist/Pictavor-1.0.0-$build.msi"
native="$root/build/native/bin/pictavor"
case "$build" in
  win64) triple=x86_64-w64-mingw32 view=/reg:64 folder='Program Files' system='C:\windows\system32' ;;
  win32) triple=i686-w64-mingw32 view=/reg:32 folder='Program Files (x86)' system='C:\windows\syswow64' ;;
  *) echo "unknown build: $build" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap '"$root/scripts/wine.sh" stop; rm -rf "$work"' EXIT
export PICTAVOR_WINEPREFIX="$work/prefix"
# shellcheck source=tests/checks.sh
source "$root/tests/checks.sh"
# shellcheck source=tests/win/our_keys.sh
source "$root/tests/win/our_keys.sh"
run() { "$root/scripts/wine.sh" run "$@"; }
lines() { tr -d '\r'; }
[ -f "$msi" ] || { echo "no $msi (scripts/dist.sh $build)"; exit 1; }
"$root/scripts/wine.sh" init >/dev/null 2>&1

installed="$PICTAVOR_WINEPREFIX/drive_c/$folder/Pictavor"
ours() { our_keys "$root/scripts/wine.sh" 'HKLM\Software\Classes' $view "$work/export.reg"; }
check "nothing of ours before" 0 "$(ours)"
run msiexec /i "$msi" /qn
check "msiexec /i" 0 $?
for f in Pictavor.dll pictavor.exe pictavor_regfree.exe sdk/include/pictavor.h sdk/lib/libPictavor.dll.a \
         sdk/lib/pictavor.tlb docs/reference.md samples/vbscript/convert.vbs samples/plugins/invert.dll; do
  check "installs $f" yes "$([ -f "$installed/$f" ] && echo yes)"
done
server=$(run reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve $view 2>/dev/null | lines | awk -F'    ' '$3 == "REG_SZ" { print $4 }')
check "registers the installed DLL" "C:\\$folder\\Pictavor\\Pictavor.dll" "$server"

# The samples against the installed control, beside the native host doing the same.
cp "$root/tests/fixtures/im_24bit.bmp" "$work/in.bmp"
cd "$work" || exit 1
run "$system\\cscript.exe" //nologo "C:\\$folder\\Pictavor\\samples\\vbscript\\convert.vbs" in.bmp vbs.jpg |
  lines >vbs.txt
check "VBScript sample" $'Load 0\nsize 13 x 7, 24 bits\nGamma 0\nSmooth 0\nSave 0' "$(cat vbs.txt)"
"$native" 'Load("in.bmp", 0, 0)' 'Gamma(1.5)' 'Smooth()' 'Save("native.jpg", 1, 24, 80)' >/dev/null
check "VBScript sample writes the native host's JPEG" "" "$(cmp native.jpg vbs.jpg 2>&1)"
sdk="$installed/sdk"
"$triple-gcc" -O2 "$installed/samples/c/convert.c" -I "$sdk/include" "$sdk/lib/libPictavor.dll.a" \
  -lole32 -loleaut32 -o convert_c.exe
check "C sample builds against the SDK alone" 0 $?
# A program linked with the import library finds Pictavor.dll on the search path.
export WINEPATH="C:\\$folder\\Pictavor"
run ./convert_c.exe in.bmp c.bmp | lines >c.txt
check "C sample runs" $'Load 0\nGrayscale 0\nSetImageScale 0\nSave 0\n13 x 7' "$(cat c.txt)"
"$native" 'Load("in.bmp", 0, 0)' 'Grayscale(0, 0.299, 0.587, 0.114)' 'SetImageScale(0.5, 0.5, 0)' \
  'Save("native.bmp", 4, 0, 0)' >/dev/null
check "C sample writes the native host's BMP" "" "$(cmp native.bmp c.bmp 2>&1)"
"$triple-g++" -O2 "$installed/samples/cpp/convert.cpp" -I "$sdk/include" -lole32 -loleaut32 -luuid \
  -static -o convert_cpp.exe
check "C++ sample builds against the SDK alone" 0 $?
run ./convert_cpp.exe in.bmp cpp.png | lines >cpp.txt
# (The PNG writer's progress shares the console.)
check "C++ sample runs" $'Load 0\nRotate 0\nColorRes 0\nSave 0' "$(sed -E 's/ *[0-9]+% saved//g' cpp.txt)"

run msiexec /x "$msi" /qn
check "msiexec /x" 0 $?
check "uninstalling leaves no file" no "$([ -e "$installed" ] && echo yes || echo no)"
check "uninstalling leaves no key" 0 "$(ours)"
finish "installer $build"
