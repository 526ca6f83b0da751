#!/usr/bin/env bash
# A first installation through every page of setup.exe into Delphi 7 and C++Builder 6, driven by
# ui_driver: the licence gate, the destination refusals, a BPL folder typed on the configuration
# page, the run, the saved build log against install.log, Finish. Keeps a screenshot per page.
# Usage: first_install_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
wineboot -i >/dev/null 2>&1
mkdir -p "$shots"
source "$here/gui_steps.sh"

bash "$here/../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host_bin" "$work/dist" >/dev/null
printf '[Delphi 7.0]\r\nroot = C:\\D7\r\n\r\n[C++Builder 6.0]\r\nroot = C:\\CB6\r\n' >"$work/two.ides"
wine "$bin/seed_ides.exe" "$work/two.ides" >/dev/null
drive_c=$WINEPREFIX/drive_c
mkdir -p "$drive_c/Photos" && echo x >"$drive_c/Photos/me.jpg"

(cd "$work/dist" && wine setup.exe) & setup_pid=$!
drive wait "$W" 60000 >/dev/null
walk_first_installation "$shots" 'C:\MyBPL'

check "destination: a relative folder is refused" grep -q "not a full folder path" <<<"$refused_relative"
check "destination: a quote is refused" grep -q "cannot hold" <<<"$refused_quote"
check "destination: a folder with other files is refused" grep -q "already holds other files" <<<"$refused_photos"
check "licence: Next disabled until the box is checked" test "$licence_next" = "disabled visible unchecked"
check "save dialog opens in the installation folder" test "$(sed -n 1p <<<"$save_dialog")" = 'Quorvex Test'
check "save dialog proposes Quorvex Build.log" test "$(sed -n 2p <<<"$save_dialog")" = "Quorvex Build.log"
check "build log equals install.log" cmp -s "$drive_c/build.log" "$work/dist/install.log"
check "build log holds the tool lines the pane leaves out" test "$(wc -l <"$drive_c/build.log")" -gt "$(wc -l <<<"$output")"
check "the package landed in the typed BPL folder" test -f "$drive_c/MyBPL/tkQuorvexD7.bpl"
check "the run ended with its last line" grep -q "All operations done. Press Finish to exit installation." <<<"$output"
drive click "$W" Button "Finish"
wait "$setup_pid"; code=$?
check "Finish ends setup.exe with exit code 0 ($code)" test "$code" -eq 0
[ "$failures" -eq 0 ]
