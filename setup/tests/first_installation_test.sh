#!/usr/bin/env bash
# A first installation through every page of setup.exe into Delphi 7 and C++Builder 6, driven by
# ui_driver: the licence gate, the destination refusals, the configuration page's folder frames
# drawn whole (bevel and sunken edit border) while the targets change, a BPL folder typed there,
# the run with its one load warning (that folder is not on PATH), the saved build log against
# install.log, Finish. Then a machine where a first installation was cut short, leaving per-IDE
# records only, one of them half written: the next start is a first installation again, not "Bad
# version string"; its run clears the leftovers, and the start after it is maintenance. Keeps a
# screenshot per page.
# Usage: first_installation_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'
mkdir -p "$drive_c/Photos" && echo x >"$drive_c/Photos/me.jpg"

start_setup "$work/dist"
walk_first_installation "$shots" 'C:\MyBPL'

check "destination: a relative folder is refused" grep -q "not a full folder path" <<<"$refused_relative"
check "destination: a quote is refused" grep -q "cannot hold" <<<"$refused_quote"
check "destination: a folder with other files is refused" grep -q "already holds other files" <<<"$refused_photos"
check "destination: a \";\" is refused ($refused_semicolon)" grep -q "separates the folders" <<<"$refused_semicolon"
check "destination: the folder frame has its bevel and sunken border ($destination_edges)" \
    test "$destination_edges" = "bevel+border"
check "configuration: the folder frames keep their bevel and sunken border ($config_edges)" test "$config_edges" = \
    "first: bevel+border bevel+border; second: bevel+border bevel+border bevel+border; first again: bevel+border bevel+border"
check "licence: Next disabled until the box is checked" test "$licence_next" = "disabled visible unchecked"
check "save dialog opens in the installation folder" test "$(sed -n 1p <<<"$save_dialog")" = 'Quorvex Test'
check "save dialog proposes Quorvex Build.log" test "$(sed -n 2p <<<"$save_dialog")" = "Quorvex Build.log"
check "build log equals install.log" wait_until 10 cmp -s "$drive_c/build.log" "$work/dist/install.log"
check "build log holds the tool lines the pane leaves out" test "$(wc -l <"$drive_c/build.log")" -gt "$(wc -l <<<"$output")"
check "the package landed in the typed BPL folder" test -f "$drive_c/MyBPL/tkQuorvexD7.bpl"
check "the one load warning: the typed BPL folder is not on PATH" test "$(grep '^Warning: ' <<<"$output")" = \
    'Warning: tkQuorvexDsgnD7.bpl cannot load in Delphi 7.0 (Enterprise): tkQuorvexD7.bpl is in C:\MyBPL, which is not on PATH.'
check "the run ended with its last line" grep -q "All operations done. Press Finish to exit installation." <<<"$output"
finish_setup
check "Finish ends setup.exe with exit code 0 ($setup_exit)" test "$setup_exit" -eq 0

next_machine
seed $'[Delphi 7.0]\nroot = C:\\D7\n'
d7_name="Delphi 7.0 (Enterprise)"
wine reg add "$product_key\\$d7_name" /v Installed /t REG_DWORD /d 1 /f /reg:32 >/dev/null
wine reg add "$product_key\\Gone IDE" /v Installed /t REG_DWORD /d 1 /f /reg:32 >/dev/null
start_setup "$work/dist"
after_cut=$(page_title)
unset setup_exit
# Without a window there is nothing to walk: the checks below say so.
[ "$after_cut" = "Welcome to the Quorvex Installation Wizard" ] && install_plainly "$shots/after-cut"
start_setup "$work/dist"
shot "$shots/after-cut/7-next-start.png"
next_start=$(page_title)
drive close "$W"
wait "$setup_pid"; closed=$?

check "after a cut: the start is a first installation ($after_cut)" \
    test "$after_cut" = "Welcome to the Quorvex Installation Wizard"
check "after a cut: the installation ended (${setup_exit:-none})" test "${setup_exit:-1}" -eq 0
check "after a cut: the product is recorded with its folder and version" eval \
    'reg_query "$product_key" | grep -q "C:\\\\Quorvex Test" && reg_query "$product_key" | grep -q "Standard Edition"'
check "after a cut: the leftover of an IDE not installed is gone" eval '! reg_has "$product_key\\Gone IDE"'
check "after a cut: Delphi 7 has its whole record" \
    eval 'reg_query "$product_key\\$d7_name" /v BPLDir | grep -qi "C:\\\\D7\\\\Projects\\\\Bpl"'
check "after a cut: the next start is maintenance ($next_start)" test "$next_start" = "Quorvex maintenance"
check "after a cut: closed there, setup.exe ends cleanly ($closed)" test "$closed" -eq 0
[ "$failures" -eq 0 ]
