#!/usr/bin/env bash
# A product record that the machine lets nobody write: the installed product's key is made
# read-only, and "Uninstall Quorvex" is chosen. Saving the record before the run fails; the
# failure shows in the pane and in install.log, Finish is enabled and ends setup.exe normally, and
# nothing was removed. Keeps screenshots.
# Usage: refused_record_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk
make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n'
mkdir -p "$drive_c/Quorvex Test"
version=$(head -n 1 "$work/dist/version" | tr -d '\r')
wine reg add "$product_key" /v InstallDir /d 'C:\Quorvex Test' /reg:32 /f >/dev/null 2>&1
wine reg add "$product_key" /v InstalledVersion /d "$version" /reg:32 /f >/dev/null 2>&1
locked=$(wine "$bin/read_only_key.exe" 'Software\Veltrano Software\Quorvex' | tr -d '\r'); lock_exit=$?

start_setup "$work/dist"
first_page=$(page_title)
drive click "$W" Button "Uninstall Quorvex"
next
wait_for_finish; finished=$?
run_to_finish "$shots/1-compile-refused.png"
log=$(tr -d '\r' <"$work/dist/install.log")

check "the key was made read-only ($lock_exit: $locked)" test "$lock_exit" -eq 0
check "the installed product starts maintenance ($first_page)" test "$first_page" = "Quorvex maintenance"
check "Finish was enabled after the failed run" test "$finished" -eq 0
check "the pane shows the failure ($output)" eval '[[ $output == "Cannot create key HKEY_LOCAL_MACHINE\\Software\\Veltrano Software\\Quorvex: "* ]]'
check "install.log holds the same line ($log)" test "$log" = "$output"
check "Finish ended setup.exe normally ($setup_exit)" test "$setup_exit" -eq 0
check "the record stays" eval 'reg_query "$product_key" /v InstallDir | grep -q "Quorvex Test"'
check "the installation folder stays" test -d "$drive_c/Quorvex Test"
[ "$failures" -eq 0 ]
