#!/usr/bin/env bash
# A first installation into Delphi 7 and C++Builder 6 by keyboard alone: real key presses
# (xdotool) to setup.exe's window, no click. Where the focus goes when the window shows and when a
# page is entered, Tab and Shift+Tab around a page and its button bar, the arrows among the IDEs'
# check boxes, Space on a check box, Enter
# and the access keys Alt+N and Alt+B from controls of the pages, Enter on Finish. Then the next
# start, maintenance: the arrow keys choose between its two radio buttons, and Escape ends it.
# Keeps a screenshot per page.
# Usage: keyboard_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'

# The window gets the X input focus, as a click on it would give; then only keys reach it.
focus_window() {
    local window
    window=$(xdotool search --sync --onlyvisible --name "^$W\$" | head -n 1)
    xdotool windowfocus --sync "$window"
}
press() { xdotool key --delay 30 "$@"; }
# focus_is TEXT, page_is TITLE, folder_is TEXT: the focused control (see ui_driver focused), the
# shown page, the destination folder; what was seen stays in $seen.
focus_is() { seen=$(drive focused "$W"); [ "$seen" = "$1" ]; }
page_is() { seen=$(page_title); [ "$seen" = "$1" ]; }
folder_is() { seen=$(drive text "$W" Edit "#114/#3"); [ "$seen" = "$1" ]; }
# keys_to WHAT CHECK...: waits up to 10 s for CHECK after the keys pressed before, and counts it.
keys_to() {
    local what=$1; shift
    seen=""
    check "$what" wait_until 10 "$@"
    [[ $seen ]] && echo "  seen: $seen"
}
next_button="Button #1004 Next >"

start_setup "$work/dist"
focus_window
shot "$shots/1-welcome.png"
keys_to "welcome: the focus is on Next as the window shows" focus_is "$next_button"
press Return
keys_to "welcome: Enter goes to the licence" page_is "License agreement"
shot "$shots/2-licence.png"
keys_to "licence: the focus starts in the agreement" focus_is "Edit #110 QUORVEX LICENSE AGREEMENT"
press Tab
keys_to "licence: Tab reaches the agreement box" focus_is "Button #111 Yes, I accept this agreement"
press space
keys_to "licence: Space checks it" eval '[[ $(drive state "$W" Button "#111") == "enabled visible checked" ]]'
press Tab
keys_to "licence: Tab goes on to Back" focus_is "Button #1003 < Back"
press Tab Tab Tab
keys_to "licence: Tab goes round the bar and back to the agreement" focus_is "Edit #110 QUORVEX LICENSE AGREEMENT"
press shift+Tab
keys_to "licence: Shift+Tab goes back to Cancel" focus_is "Button #2 Cancel"
press shift+Tab shift+Tab shift+Tab
keys_to "licence: Shift+Tab goes on back to the box" focus_is "Button #111 Yes, I accept this agreement"
press shift+Tab
keys_to "licence: and on to the agreement" focus_is "Edit #110 QUORVEX LICENSE AGREEMENT"
press alt+n
keys_to "licence: Alt+N from the agreement goes to the destination" page_is "Destination Folder"
shot "$shots/3-destination.png"
keys_to "destination: the focus starts in the folder" focus_is 'Edit #3 C:\Program Files\Veltradb\Quorvex'
xdotool type --delay 30 'C:\Quorvex Keys'
keys_to "destination: typing replaces the folder" folder_is 'C:\Quorvex Keys'
press Return
keys_to "destination: Enter goes to the IDE targets" page_is "Choose IDE Targets"
shot "$shots/4-ide-targets.png"
keys_to "IDE targets: the focus starts on the first IDE" focus_is "Button #200 Delphi 7.0 (Enterprise)"
press Down
keys_to "IDE targets: Down moves to the next IDE" focus_is "Button #201 C++Builder 6.0 (Enterprise)"
press Down
keys_to "IDE targets: Down from the last IDE goes round to the first" focus_is "Button #200 Delphi 7.0 (Enterprise)"
press Up
keys_to "IDE targets: Up from the first IDE goes round to the last" focus_is "Button #201 C++Builder 6.0 (Enterprise)"
press Left
keys_to "IDE targets: Left moves back, nothing checked or unchecked" \
    eval 'focus_is "Button #200 Delphi 7.0 (Enterprise)" && [ "$(ide_label 0)" = "Action: Install" ] &&
          [ "$(ide_label 1)" = "Action: Install" ]'
press space
keys_to "IDE targets: Space unchecks it" eval '[ "$(ide_label 0)" = "Action: Don'"'"'t install" ]'
press space
keys_to "IDE targets: Space checks it again" eval '[ "$(ide_label 0)" = "Action: Install" ]'
press alt+b
keys_to "IDE targets: Alt+B from a box goes back" page_is "Destination Folder"
press alt+n
keys_to "destination: Alt+N from the folder goes on" page_is "Choose IDE Targets"
press Return
keys_to "IDE targets: Enter goes to the configuration" page_is "Configuration"
shot "$shots/5-configuration.png"
keys_to "configuration: the focus starts in the target list" focus_is "ComboBox #120 Delphi 7.0 (Enterprise)"
press Return
keys_to "configuration: Enter starts the run" page_is "Compiling and Installing Packages"
wait_for_finish
shot "$shots/6-compile.png"
output=$(compile_output)
press Return
wait_for_exit 60
check "compile: Enter presses Finish, setup.exe ends with 0 ($setup_exit)" test "$setup_exit" -eq 0
check "the run installed into both IDEs" grep -q "All operations done. Press Finish to exit installation." <<<"$output"
check "the typed folder was used" test -d "$drive_c/Quorvex Keys"
check "Delphi 7 got its package" test -f "$drive_c/D7/Projects/Bpl/tkQuorvexD7.bpl"
check "C++Builder 6 got its package" test -f "$drive_c/CB6/Projects/Bpl/tkQuorvexC6.bpl"

start_setup "$work/dist"
focus_window
keys_to "maintenance: the next start" page_is "Quorvex maintenance"
keys_to "maintenance: the focus starts on the first choice, neither chosen" \
    eval 'focus_is "Button #105 Add or Remove IDE installations" &&
          [[ $(drive state "$W" Button "#105") == *" unchecked" && $(drive state "$W" Button "#107") == *" unchecked" ]]'
press Down
keys_to "maintenance: Down chooses Uninstall" \
    eval 'focus_is "Button #107 Uninstall Quorvex" && [[ $(drive state "$W" Button "#107") == *" checked" ]]'
press Up
keys_to "maintenance: Up chooses the IDEs again" eval '[[ $(drive state "$W" Button "#105") == *" checked" ]]'
shot "$shots/7-maintenance.png"
press Escape
wait_for_exit 60
check "maintenance: Escape ends setup.exe with 0 ($setup_exit)" test "$setup_exit" -eq 0
[ "$failures" -eq 0 ]
