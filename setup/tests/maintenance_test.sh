#!/usr/bin/env bash
# Maintenance with the same distribution: the product installed into Delphi 7 and C++Builder 6,
# then Delphi 2005 added and C++Builder 6 removed, after the three-state cycle of an installed
# IDE's box. Then "Uninstall Quorvex" goes straight to the compile page and removes everything.
# Keeps a screenshot per page.
# Usage: maintenance_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n\n[BDS 3.0]\nroot = C:\\BDS3\n'
d7_name="Delphi 7.0 (Enterprise)" cb6_name="C++Builder 6.0 (Enterprise)" bds_name="Delphi 2005 (Enterprise)"
d7_bpl=$drive_c/D7/Projects/Bpl/tkQuorvexD7.bpl
cb6_bpl=$drive_c/CB6/Projects/Bpl/tkQuorvexC6.bpl
bds_bpl=$drive_c/BDS3/Projects/Bpl/tkQuorvexD9.bpl
installed() { reg_query "$product_key\\$1" /v Installed | grep -q 0x1; }

start_setup "$work/dist"
install_plainly "$shots/0-installation" 2
check "the installation before maintenance ended ($setup_exit)" test "$setup_exit" -eq 0
check "Delphi 2005 was left out" test ! -e "$bds_bpl"
check "C++Builder 6 was installed" test -f "$cb6_bpl"

# Add and remove IDEs.
start_setup "$work/dist"
shot "$shots/1-maintenance.png"
first_page=$(page_title)
choice="$(drive state "$W" Button "Add or Remove IDE installations") / $(drive state "$W" Button "Uninstall Quorvex")"
next; shot "$shots/2-ide-targets.png"
ide_page=$(page_title)
labels_before="$(ide_label 0) / $(ide_label 1) / $(ide_label 2)"
states_before="$(drive state "$W" Button "$(ide_box 0)") / $(drive state "$W" Button "$(ide_box 2)")"
cycle=""
for _ in 1 2 3; do
    drive click "$W" Button "$(ide_box 0)"
    cycle+="$(ide_label 0), $(drive state "$W" Button "$(ide_box 0)" | cut -d' ' -f3); "
done
drive click "$W" Button "$(ide_box 1)"
drive click "$W" Button "$(ide_box 1)"
drive click "$W" Button "$(ide_box 2)"
shot "$shots/3-ide-targets-chosen.png"
labels_after="$(ide_label 0) / $(ide_label 1) / $(ide_label 2)"
next; shot "$shots/4-configuration.png"
config_page=$(page_title)
next
run_to_finish "$shots/5-compile.png"

check "same version: the maintenance page comes first ($first_page)" test "$first_page" = "Quorvex maintenance"
check "neither operation is chosen at first, Next adds or removes IDEs ($choice)" test "$choice" = \
    "enabled visible unchecked / enabled visible unchecked"
check "the IDE page follows ($ide_page)" test "$ide_page" = "Choose IDE Targets"
check "every IDE starts with Do nothing ($labels_before)" test "$labels_before" = \
    "Action: Do nothing / Action: Do nothing / Action: Do nothing"
check "installed: three-state grayed, not installed: unchecked ($states_before)" test "$states_before" = \
    "enabled visible grayed / enabled visible unchecked"
check "the three-state cycle ($cycle)" test "$cycle" = \
    "Action: Reinstall, checked; Action: Uninstall, unchecked; Action: Do nothing, grayed; "
check "chosen: keep, remove, add ($labels_after)" test "$labels_after" = \
    "Action: Do nothing / Action: Uninstall / Action: Install"
check "the configuration page follows for the added IDE ($config_page)" test "$config_page" = "Configuration"
check "the maintenance run ended ($setup_exit)" test "$setup_exit" -eq 0
check "Delphi 2005 added: recorded" installed "$bds_name"
check "Delphi 2005 added: its package file" test -f "$bds_bpl"
check "Delphi 2005 added: known to the IDE" eval 'known_packages "BDS\\3.0" | grep -qi tkQuorvexDsgnD9'
check "C++Builder 6 removed: its product key is gone" eval '! reg_has "$product_key\\$cb6_name"'
check "C++Builder 6 removed: its package file is gone" test ! -e "$cb6_bpl"
check "C++Builder 6 removed: unknown to the IDE" eval '! known_packages "C++Builder\\6.0" | grep -qi tkQuorvex'
check "Delphi 7 kept: recorded" installed "$d7_name"
check "Delphi 7 kept: its package file" test -f "$d7_bpl"

# Uninstall the product. Windows reports a click to a radio button that only takes the focus: with
# neither checked it chooses nothing, and with one checked it does not choose the other.
start_setup "$work/dist"
drive focus "$W" Button "Uninstall Quorvex"
drive focus "$W" Button "Add or Remove IDE installations"
next
unchosen_page=$(page_title)
drive click "$W" Button "< Back"
drive click "$W" Button "Uninstall Quorvex"
drive focus "$W" Button "Add or Remove IDE installations"
shot "$shots/6-maintenance-uninstall.png"
next
uninstall_page=$(page_title)
run_to_finish "$shots/7-compile-uninstall.png"

check "focus alone chose nothing: Next adds or removes IDEs ($unchosen_page)" test "$unchosen_page" = \
    "Choose IDE Targets"
check "Uninstall goes straight to the compile page ($uninstall_page)" test "$uninstall_page" = \
    "Compiling and Installing Packages"
check "the uninstallation ended ($setup_exit)" test "$setup_exit" -eq 0
check "the run ended with its last line" grep -q "Uninstall completed. Press Finish to exit installation." <<<"$output"
check "no product key left" eval '! reg_has "$product_key"'
check "the installation folder is gone" test ! -e "$drive_c/Quorvex Test"
check "Delphi 7: its package file is gone" test ! -e "$d7_bpl"
check "Delphi 2005: its package file is gone" test ! -e "$bds_bpl"
check "no IDE knows the product's packages" eval '! { known_packages "Delphi\\7.0"; known_packages "BDS\\3.0"; } | grep -qi tkQuorvex'
check "the IDEs' own packages stay" eval 'known_packages "Delphi\\7.0" | grep -q dclbase70'
[ "$failures" -eq 0 ]
