#!/usr/bin/env bash
# Pictavor.dll of one build as its clients meet it under Wine: its exports, regsvr32 and the
# registry (in the build's own registry view), Wine's cscript of the same bitness running
# VBScript against the native host's output, pictavor.exe on the host checks and on scripts
# beside the native host, the C flat-API programs and the control's unit tests; then
# unregistration.
# Usage: tests/win/run.sh win64|win32 (needs build/native and that build)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
wine_sh="$root/scripts/wine.sh"
native="$root/build/native/bin/pictavor"
build="${1:?usage: tests/win/run.sh win64|win32}"
bin="$root/build/$build/bin"
case "$build" in
  # The 32-bit registry view and system programs are those of syswow64.
  win64) triple=x86_64-w64-mingw32 view=/reg:64 system='C:\windows\system32' ;;
  win32) triple=i686-w64-mingw32 view=/reg:32 system='C:\windows\syswow64' ;;
  *) echo "unknown build: $build" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
# shellcheck source=tests/win/our_keys.sh
source "$(dirname "${BASH_SOURCE[0]}")/our_keys.sh"
run() { "$wine_sh" run "$@"; }
lines() { tr -d '\r'; }

# ---- exports: 136 flat functions and the four COM entry points ------------------------------
exports() {  # exports TRIPLE DLL: the export names, sorted
  "$1-objdump" -p "$2" | awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^\t\[/ { print $NF } on && !/^\t\[/ { on = 0 }' | sort
}
names=$(exports "$triple" "$bin/Pictavor.dll")
check "$build exports 136 PVC_ functions" 136 "$(grep -c '^PVC_' <<<"$names")"
check "$build export names carry no decoration" 0 "$(grep -c '@' <<<"$names")"
for name in PVC_SetDispScale PVC_Grayscale PVC_Load PVC_get_BackColor PVC_put_BackColor \
            PVC_ExecutePlugin PVC_GetWidth; do
  check "$build exports $name" 1 "$(grep -cx "$name" <<<"$names")"
done
check "COM entry points" $'DllCanUnloadNow\nDllGetClassObject\nDllInstall\nDllRegisterServer\nDllUnregisterServer' \
  "$(grep '^Dll' <<<"$names")"
check "$build exports nothing else" 141 "$(wc -l <<<"$names")"
# Callers' compilers ask for the standard-call names: the import library maps them to the plain ones.
implib=$(${triple}-nm "$root/build/$build/sdk/lib/libPictavor.dll.a" | awk '$2 == "T" { print $3 }')
if [ "$build" = win32 ]; then
  check "import library offers _PVC_SetDispScale@24" 1 "$(grep -cx '_PVC_SetDispScale@24' <<<"$implib")"
else
  check "import library offers PVC_SetDispScale" 1 "$(grep -cx 'PVC_SetDispScale' <<<"$implib")"
fi
check "import library offers 136 PVC_ functions" 136 "$(grep -c 'PVC_' <<<"$implib")"

# ---- registration ---------------------------------------------------------------------------
module=$(run winepath -w "$bin/Pictavor.dll" | lines)
value() {  # value KEY [NAME]: the REG_SZ data, or "missing"
  local out
  if [ $# -gt 1 ]; then out=$(run reg query "$1" /v "$2" $view 2>/dev/null); else out=$(run reg query "$1" /ve $view 2>/dev/null); fi
  out=$(lines <<<"$out" | awk -F'    ' '$3 == "REG_SZ" { print $4; found = 1 } END { if (!found) print "missing" }')
  echo "$out"
}
run "$system\\regsvr32.exe" /s "$bin/Pictavor.dll"
check "regsvr32 registers" 0 $?
registered=(
  "HKCR\\Pictavor.PictavorCtl.1|PictavorCtl Class"
  "HKCR\\Pictavor.PictavorCtl.1\\CLSID|$clsid"
  "HKCR\\Pictavor.PictavorCtl|PictavorCtl Class"
  "HKCR\\Pictavor.PictavorCtl\\CLSID|$clsid"
  "HKCR\\Pictavor.PictavorCtl\\CurVer|Pictavor.PictavorCtl.1"
  "HKCR\\CLSID\\$clsid|PictavorCtl Class"
  "HKCR\\CLSID\\$clsid\\ProgID|Pictavor.PictavorCtl.1"
  "HKCR\\CLSID\\$clsid\\VersionIndependentProgID|Pictavor.PictavorCtl"
  "HKCR\\CLSID\\$clsid\\InprocServer32|$module"
  "HKCR\\CLSID\\$clsid\\ToolboxBitmap32|$module, 102"
  "HKCR\\CLSID\\$clsid\\MiscStatus|0"
  "HKCR\\CLSID\\$clsid\\MiscStatus\\1|131473"
  "HKCR\\CLSID\\$clsid\\TypeLib|$libid"
  "HKCR\\CLSID\\$clsid\\Version|1.0"
)
for entry in "${registered[@]}"; do
  check "registry ${entry%%|*}" "${entry#*|}" "$(value "${entry%%|*}")"
done
check "threading model" Apartment "$(value "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel)"
for key in Programmable Control Insertable; do
  run reg query "HKCR\\CLSID\\$clsid\\$key" $view >/dev/null 2>&1
  check "key $key" 0 $?
done
typelib=$(value "HKCR\\TypeLib\\$libid\\1.0\\409\\$build")
check "type library registered" "$module" "${typelib#\\\\?\\}"

# ---- VBScript through Wine's cscript, against the native host ------------------------------
mkdir "$work/vbs" "$work/native"
for dir in vbs native; do cp "$root/tests/fixtures/im_24bit.bmp" "$work/$dir/source.bmp"; done
cp "$root/tests/win/convert.vbs" "$work/vbs/"
(cd "$work/vbs" && run "$system\\cscript.exe" //nologo convert.vbs 画像.bmp | lines >out.txt)
(cd "$work/native" && "$native" -f "$root/tests/win/convert.calls" >out.txt)
check "VBScript prints what the native host prints" "$(cat "$work/native/out.txt")" "$(cat "$work/vbs/out.txt")"
for file in eight.bmp 画像.bmp chain.pvr chain.txt; do
  check "VBScript writes $file as the native host does" "" "$(cmp "$work/native/$file" "$work/vbs/$file" 2>&1)"
done

# ---- pictavor.exe: the host checks, and scripts beside the native host ----------------------
printf '#!/bin/sh\nexec "%s" run "%s" "$@"\n' "$wine_sh" "$bin/pictavor.exe" >"$work/pictavor-exe"
chmod +x "$work/pictavor-exe"
bash "$root/tests/host/run.sh" "$work/pictavor-exe" | sed 's/^/pictavor.exe /'
check "pictavor.exe passes the host checks" 0 "${PIPESTATUS[0]}"
for host in native exe; do
  mkdir -p "$work/$host-host/blocks"
  cp "$root/tests/fixtures/im_8bit.bmp" "$work/$host-host/source.bmp"
done
printf '%s\n' 'Load("source.bmp", 0, 0)' 'GetBitmapInfo()' 'SaveMemory(4, 24, 0)' 'GetImageData()' \
  'SaveRawData()' 'LoadRawData(@"blocks/5.phMem.bin", 2, 13, 7, 273)' 'GetDIB()' 'Copy(0)' 'SetDIB(0)' \
  'Paste(0)' 'GetWidth()' 'put_PaintSizeMode(3)' 'get_PaintSizeMode()' 'NoSuchMember()' >"$work/calls.txt"
(cd "$work/native-host" && "$native" --blocks blocks -f ../calls.txt >out.txt 2>err.txt; echo "exit $?" >>out.txt)
(cd "$work/exe-host" && "$work/pictavor-exe" --blocks blocks -f ../calls.txt >out.txt 2>err.txt; echo "exit $?" >>out.txt)
check "pictavor.exe prints the native host's lines" "$(cat "$work/native-host/out.txt")" "$(cat "$work/exe-host/out.txt")"
check "pictavor.exe hands out the native host's blocks" "" "$(diff -r "$work/native-host/blocks" "$work/exe-host/blocks")"
check "pictavor.exe names the bad call" "$(cat "$work/native-host/err.txt")" "$(lines <"$work/exe-host/err.txt")"

# ---- programs: the flat API from C, the control's tests, the type library on Japanese hosts --
program() {  # program NAME COMMAND...: runs it, its output shown only when it fails
  local name="$1" status; shift
  "$@" >"$work/program.log" 2>&1
  status=$?
  [ $status -eq 0 ] || cat "$work/program.log"
  check "$name" 0 $status
}
program "flat API from C, by GetProcAddress" run "$bin/pvc_test.exe"
program "flat API from C, through the import library" run "$bin/pvc_linked_test.exe"
program "control tests" run "$bin/pictavor_win_tests.exe"
# On a Japanese system the help strings read back as they were written. (Wine takes its code
# page from the locale's name alone; Unicode file names need the locale installed: only here.)
program "type library on a Japanese system" env LC_ALL=ja_JP.UTF-8 "$wine_sh" run "$bin/pictavor_win_tests.exe" \
  --gtest_filter='*TypeLibrary*'

# ---- unregistration -------------------------------------------------------------------------
run "$system\\regsvr32.exe" /s /u "$bin/Pictavor.dll"
check "regsvr32 unregisters" 0 $?
for key in "HKCR\\Pictavor.PictavorCtl.1" "HKCR\\Pictavor.PictavorCtl" "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid"; do
  run reg query "$key" $view >/dev/null 2>&1
  check "removed $key" 1 $?
done
run reg query 'HKCR\CLSID' /ve $view >/dev/null 2>&1
check "the CLSID key itself stays" 0 $?
"$work/pictavor-exe" 'GetWidth()' >/dev/null 2>"$work/err.txt"
check "pictavor.exe without the control" "1 1" "$? $(grep -c 'cannot create Pictavor.PictavorCtl' "$work/err.txt")"
# Registration-free: the DLL's own manifest, named by pictavor_regfree.exe's, stands for the keys.
regfree=('Load("source.bmp", 0, 0)' 'Grayscale(0, 0.299, 0.587, 0.114)' 'GetBitmapBits()' 'Save("gray.bmp", 4, 0, 0)')
(cd "$work/native-host" && "$native" "${regfree[@]}" >regfree.txt 2>/dev/null)
(cd "$work/exe-host" && run "$bin/pictavor_regfree.exe" "${regfree[@]}" >regfree.txt 2>/dev/null)
check "pictavor_regfree.exe runs with nothing registered" "$(cat "$work/native-host/regfree.txt")" \
  "$(lines <"$work/exe-host/regfree.txt")"
check "pictavor_regfree.exe writes the native host's file" "" \
  "$(cmp "$work/native-host/gray.bmp" "$work/exe-host/gray.bmp" 2>&1)"
# ---- per-user registration: the same keys under HKCU\Software\Classes, none machine-wide ----
user='HKCU\Software\Classes'
run "$system\\regsvr32.exe" /s /n /i:user "$bin/Pictavor.dll"
check "regsvr32 /n /i:user registers" 0 $?
for entry in "${registered[@]}"; do
  key="${entry%%|*}"
  check "per-user ${key/HKCR/$user}" "${entry#*|}" "$(value "${key/HKCR/$user}")"
done
check "per-user type library" "$module" "$(value "$user\\TypeLib\\$libid\\1.0\\409\\$build")"
for key in "CLSID\\$clsid" "TypeLib\\$libid\\1.0\\409\\$build"; do
  run reg query "HKLM\\Software\\Classes\\$key" $view >/dev/null 2>&1
  check "per-user registration writes no HKLM\\...\\$key" 1 $?
done
run "$system\\regsvr32.exe" /s /u /n /i:user "$bin/Pictavor.dll"
check "regsvr32 /u /n /i:user unregisters" 0 $?
check "per-user unregistration leaves no key" 0 "$(our_keys "$wine_sh" "$user" $view "$work/export.reg")"

run "$system\\regsvr32.exe" /s "$bin/Pictavor.dll"  # leave the control registered for later stages

finish "windows $build"
