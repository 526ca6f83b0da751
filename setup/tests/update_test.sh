#!/usr/bin/env bash
# An update: the product installed into Delphi 7 and C++Builder 6 but not Delphi 2005, then the setup
# of a distribution with another version. Its welcome page names both versions, the licence and
# destination pages are left out, and the IDE page's boxes walk the update's actions: C++Builder 6
# unchecked becomes "Uninstall" (checked again "Update") and is removed from the IDE, the product's
# registry key and the disk; Delphi 2005 starts with "Do nothing" and checked becomes "Install" and
# gets the product; Delphi 7 is updated. Keeps a screenshot per page.
# Usage: update_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/old" --version "2.4.1.17 Standard Edition"
make_distribution "$work/new" --version "2.5.0.3 Standard Edition"
d7_name="Delphi 7.0 (Enterprise)" cb6_name="C++Builder 6.0 (Enterprise)" bds_name="Delphi 2005 (Enterprise)"
cb6_bpl=$drive_c/CB6/Projects/Bpl/tkQuorvexC6.bpl
bds_bpl=$drive_c/BDS3/Projects/Bpl/tkQuorvexD9.bpl
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n\n[BDS 3.0]\nroot = C:\\BDS3\n'
start_setup "$work/old"
install_plainly "$shots/0-installation" 2
check "the installation before the update ended ($setup_exit)" test "$setup_exit" -eq 0
check "C++Builder 6 held the package before the update" test -f "$cb6_bpl"
check "C++Builder 6 was recorded before the update" reg_has "$product_key\\$cb6_name"
check "Delphi 2005 was left out before the update" eval '[ ! -e "$bds_bpl" ] && ! reg_has "$product_key\\$bds_name"'

start_setup "$work/new"
shot "$shots/1-update-welcome.png"
header=$(drive page "$W")
next; shot "$shots/2-ide-targets.png"
ide_page=$(page_title)
labels_before="$(ide_label 0) / $(ide_label 1) / $(ide_label 2)"
bds_state_before=$(drive state "$W" Button "$(ide_box 2)")
drive click "$W" Button "$(ide_box 1)"
cb6_unchecked="$(ide_label 1), $(drive state "$W" Button "$(ide_box 1)")"
drive click "$W" Button "$(ide_box 1)"
cb6_checked_again="$(ide_label 1), $(drive state "$W" Button "$(ide_box 1)")"
drive click "$W" Button "$(ide_box 1)"
drive click "$W" Button "$(ide_box 2)"
shot "$shots/3-ide-targets-uninstall-install.png"
cb6_label=$(ide_label 1)
bds_checked="$(ide_label 2), $(drive state "$W" Button "$(ide_box 2)")"
next; shot "$shots/4-configuration.png"
config_page=$(page_title)
next
run_to_finish "$shots/5-compile.png"

check "update welcome: title" test "$(sed -n 1p <<<"$header")" = "Welcome to the Quorvex Installation Wizard"
check "update welcome: subtitle with both versions" test "$(sed -n 2p <<<"$header")" = \
    "This wizard will update the Quorvex component version 2.4.1.17 Standard Edition currently installed on your computer with newer version 2.5.0.3 Standard Edition."
check "licence and destination are left out ($ide_page)" test "$ide_page" = "Choose IDE Targets"
check "installed IDEs start as updates, the one left out with Do nothing ($labels_before)" \
    test "$labels_before" = "Action: Update / Action: Update / Action: Do nothing"
check "the IDE left out starts unchecked ($bds_state_before)" test "$bds_state_before" = "enabled visible unchecked"
check "an installed IDE unchecked becomes Uninstall ($cb6_unchecked)" \
    test "$cb6_unchecked" = "Action: Uninstall, enabled visible unchecked"
check "checked again it is an update again ($cb6_checked_again)" \
    test "$cb6_checked_again" = "Action: Update, enabled visible checked"
check "unchecked a second time it is Uninstall again ($cb6_label)" test "$cb6_label" = "Action: Uninstall"
check "the IDE left out checked becomes Install ($bds_checked)" \
    test "$bds_checked" = "Action: Install, enabled visible checked"
check "the configuration page follows ($config_page)" test "$config_page" = "Configuration"
check "the update ended ($setup_exit)" test "$setup_exit" -eq 0
check "the run ended with its last line" grep -q "All operations done. Press Finish to exit installation." <<<"$output"
check "C++Builder 6: its product key is gone" eval '! reg_has "$product_key\\$cb6_name"'
check "C++Builder 6: no known package of the product left" eval '! known_packages "C++Builder\\6.0" | grep -qi tkQuorvex'
check "C++Builder 6: the IDE's own packages stay" eval 'known_packages "C++Builder\\6.0" | grep -q dclbase60'
check "C++Builder 6: the package file is gone" test ! -e "$cb6_bpl"
check "Delphi 7: still recorded as installed" eval 'reg_query "$product_key\\$d7_name" /v Installed | grep -q 0x1'
check "Delphi 7: its package file is there" test -f "$drive_c/D7/Projects/Bpl/tkQuorvexD7.bpl"
check "Delphi 7: its package is known to the IDE" eval 'known_packages "Delphi\\7.0" | grep -qi tkQuorvexDsgnD7'
check "Delphi 2005: recorded as installed" eval 'reg_query "$product_key\\$bds_name" /v Installed | grep -q 0x1'
check "Delphi 2005: its package file is there" test -f "$bds_bpl"
check "Delphi 2005: its package is known to the IDE" eval 'known_packages "BDS\\3.0" | grep -qi tkQuorvexDsgnD9'
check "the new version is recorded" eval 'reg_query "$product_key" /v InstalledVersion | grep -q "2.5.0.3 Standard Edition"'
[ "$failures" -eq 0 ]
