#!/usr/bin/env bash
# A complete installation into six simulated IDEs under Wine with stub tools that exit at once,
# against the same tool runs back to back. Usage: run.sh [win64-build-dir] [native-build-dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$top/build/win64}")
native=$(realpath "${2:-$top/build/native}")
export WINEPREFIX="$build/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1
work=$(mktemp -d)
cleanup() { cd /; rm -rf "$work"; wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

bash "$top/tools/mkdist/mkdist.sh" --with-sources --bin "$build/bin" --host-bin "$native/bin" "$work/dist" >/dev/null
cp "$build/bin/engine_bench.exe" "$work/dist/"
cat >"$work/ides.txt" <<IDES
[Delphi 6.0]
root = C:\\Bench\\Delphi6
[Delphi 7.0]
root = C:\\Bench\\Delphi7
[Delphi 7.1]
root = C:\\Bench\\Delphi7b
[C++Builder 6.0]
root = C:\\Bench\\CBuilder6
[C++Builder 6.1]
root = C:\\Bench\\CBuilder6b
[BDS 3.0]
root = C:\\Bench\\BDS3
IDES
wine reg delete 'HKLM\Software\Veltrano Software\Quorvex' /f /reg:32 >/dev/null 2>&1 || true
wine "$build/bin/seed_ides.exe" "$(winepath -w "$work/ides.txt")" >/dev/null
drive_c="$WINEPREFIX/drive_c"
for root in Delphi6 Delphi7 Delphi7b CBuilder6 CBuilder6b BDS3; do
    cp "$build/bin/dcc32.exe" "$build/bin/bpr2mak.exe" "$build/bin/make.exe" "$drive_c/Bench/$root/Bin/"
done
cd "$work/dist"
wine ./engine_bench.exe | tr -d '\r'
