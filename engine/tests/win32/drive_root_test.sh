#!/usr/bin/env bash
# A distribution in the root of a drive of its own (R:\engine_run.exe, started from R:\): the
# program folder is R:\, so the extractor finds data.arc there and the installation completes.
# Usage: drive_root_test.sh BIN_DIR HOST_BIN_DIR   (in a private prefix, see tools/wine_test)
set -uo pipefail
bin=$1 host_bin=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../tools/wine_test/checks.sh"
work=$(mktemp -d)
drive=$WINEPREFIX/dosdevices/r:
trap 'wineserver -k >/dev/null 2>&1; rm -f "$drive"; rm -rf "$work"' EXIT

bash "$here/../../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host_bin" "$work/dist" >/dev/null
cp "$bin/engine_run.exe" "$work/dist/"
printf '[Delphi 7.0]\r\nroot = C:\\D7\r\n' >"$work/seed.ides"
wine "$bin/seed_ides.exe" "$work/seed.ides" >/dev/null
ln -s "$work/dist" "$drive"

# As a user starts it: from the drive's root.
printf '@echo off\r\ncd /d R:\\\r\nR:\\engine_run.exe install "Delphi 7.0 (Enterprise)=install"\r\nexit /b %%errorlevel%%\r\n' \
    >"$work/dist/run.bat"
output=$(wine cmd /c 'R:\run.bat' | tr -d '\r')
code=$?  # pipefail: the engine's own exit code
echo "$output"
check "the run succeeded (exit $code)" test "$code" -eq 0
check "the extraction completed" grep -qx "Completed" <<<"$output"
check "install.log lies in the drive's root" test -f "$work/dist/install.log"
check "the product's files were extracted" test -f "$WINEPREFIX/drive_c/Program Files/Veltradb/Quorvex/Packages/bcb.bmk"
[ "$failures" -eq 0 ]
