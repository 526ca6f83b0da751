#!/usr/bin/env bash
# Apps & Features without the distribution: the product installed into Delphi 7 from a
# distribution that is then deleted. Wine's own client (uninstaller) lists the entry and starts its
# UninstallString, as Apps & Features does: the maintenance copy adds Delphi 2005, then uninstalls
# the product. Each start runs from a temporary copy that is to go at the next restart, and the
# uninstall takes the entry, the installation folder and the product's packages, and nothing else.
# Usage: apps_features_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

entry_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvex'
session_key='HKLM\System\CurrentControlSet\Control\Session Manager'
install_dir=$drive_c/Quorvex\ Test
d7_bpl=$drive_c/D7/Projects/Bpl/tkQuorvexD7.bpl
bds_bpl=$drive_c/BDS3/Projects/Bpl/tkQuorvexD9.bpl
entry_value() { reg_query "$entry_key" /v "$1" | awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
listed() { wine uninstaller --list | tr -d '\r' | grep -qx 'Quorvex|||Quorvex'; }
# Whether Windows is asked to delete the temporary copy N at the next restart.
removal_pending() { wine reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | grep -q "Quorvex Setup $1"; }
# Every file and folder of the machine with its size, but the system's own, the user's temporary
# folder and the installation folder.
machine_files() {
    (cd "$drive_c" && find . \( -path ./windows -o -path './users/*/Temp' -o -path './Quorvex Test' \
        -o -path './Quorvex Test.journal' \) -prune -o -printf '%p %s\n' | sort)
}
# start_from_entry: what Apps & Features does with the entry; the window of the copy is shown.
start_from_entry() {
    wine uninstaller --remove Quorvex & client_pid=$!
    drive wait "$W" 60000 >/dev/null
}
# finish_copy N SHOT: the run on the compile page ends, Finish, and the temporary copy N ends.
finish_copy() {
    wait_for_finish
    shot "$2"
    output=$(compile_output)
    drive click "$W" Button "Finish"
    wait_until 60 removal_pending "$1"
}

make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[BDS 3.0]\nroot = C:\\BDS3\n'
before=$(machine_files)
start_setup "$work/dist"
install_plainly "$shots/0-installation" 1
check "the installation ended ($setup_exit)" test "$setup_exit" -eq 0
rm -rf "$work/dist"
check "the maintenance copy lies in the installation folder" test -f "$install_dir/Setup/setup.exe"
check "the client lists Quorvex" listed
check "the entry starts the copy ($(entry_value UninstallString))" test "$(entry_value UninstallString)" = \
    '"C:\Quorvex Test\Setup\setup.exe"'
check "the entry names the version ($(entry_value DisplayVersion))" test "$(entry_value DisplayVersion)" = 2.4.1.17
size_one_ide=$(($(entry_value EstimatedSize)))

# Add Delphi 2005 with the distribution gone.
start_from_entry
wait_until 30 eval '! kill -0 "$client_pid" 2>/dev/null'
client_ended=$?
wait "$client_pid"; client_exit=$?
shot "$shots/1-maintenance.png"
first_page=$(page_title)
next; shot "$shots/2-ide-targets.png"
drive click "$W" Button "$(ide_box 1)"
chosen=$(ide_label 1)
next
wait_until 30 eval '[ "$(page_title)" = "Configuration" ]'
shot "$shots/3-configuration.png"
next
finish_copy 1 "$shots/4-compile-add.png"
copy=$(find "$drive_c/users" -maxdepth 3 -type d -name 'Quorvex Setup 1' | head -n 1)

check "the started program handed over to its copy and ended ($client_ended, $client_exit)" \
    test "$client_ended/$client_exit" = 0/0
check "the copy runs from the temporary folder ($copy)" test -f "$copy/setup.exe" -a -f "$copy/version"
check "the same version: maintenance ($first_page)" test "$first_page" = "Quorvex maintenance"
check "Delphi 2005 chosen ($chosen)" test "$chosen" = "Action: Install"
check "the run ended with its last line" grep -q "All operations done. Press Finish to exit installation." <<<"$output"
check "Delphi 2005 added: its package file" test -f "$bds_bpl"
check "Delphi 2005 added: known to the IDE" eval 'known_packages "BDS\\3.0" | grep -qi tkQuorvexDsgnD9'
check "Delphi 7 kept" test -f "$d7_bpl"
check "the entry stays, larger ($size_one_ide KB, then $(($(entry_value EstimatedSize))) KB)" \
    test "$(($(entry_value EstimatedSize)))" -gt "$size_one_ide"
check "the copy's log is in its folder" grep -q "Compiling for: Delphi 2005" "$copy/install.log"

# Uninstall through the entry.
start_from_entry
drive click "$W" Button "Uninstall Quorvex"
shot "$shots/5-maintenance-uninstall.png"
next
finish_copy 2 "$shots/6-compile-uninstall.png"

check "the uninstall ended with its last line" grep -q "Uninstall completed. Press Finish to exit installation." <<<"$output"
check "the client no longer lists Quorvex" eval '! listed'
check "the entry is gone" eval '! reg_has "$entry_key"'
check "the product key is gone" eval '! reg_has "$product_key"'
check "the installation folder is gone, the copy with it" test ! -e "$install_dir"
check "no IDE knows the product's packages" eval '! { known_packages "Delphi\\7.0"; known_packages "BDS\\3.0"; } | grep -qi tkQuorvex'
check "the IDEs' own packages stay" eval 'known_packages "Delphi\\7.0" | grep -q dclbase70'
check "no other file was touched" diff <(echo "$before") <(machine_files)
[ "$failures" -eq 0 ]
