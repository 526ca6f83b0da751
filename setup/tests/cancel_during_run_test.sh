#!/usr/bin/env bash
# Cancel pressed on the compile page while a package build runs: a first installation into Delphi 7
# from sources whose dcc32 stand-in sleeps before building tkQuorvexD7. The window keeps answering
# while the tool runs; Back, Finish, Save Build Log and the close box do nothing then, and a
# shutdown is asked to wait (before the run it is not); Cancel does
# not cut the run short, and once the run has ended setup.exe closes
# by itself with exit code 0, the product recorded and its packages in place. Keeps screenshots.
# Usage: cancel_during_run_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist" --with-sources
seed $'[Delphi 7.0]\nroot = C:\\D7\nstub-tools = yes\n'
d7_name="Delphi 7.0 (Enterprise)"
bpl=$drive_c/D7/Projects/Bpl
last_line="All operations done. Press Finish to exit installation."
# Long enough for the steps below to happen while the tool sleeps; setup.exe's tools inherit it.
hang_seconds=30
export QV_STUB_HANG="dcc32:tkQuorvexD7" QV_STUB_HANG_SECONDS=$hang_seconds

start_setup "$work/dist"
to_ide_page "$shots"
next
drive click "$W" Button "Compile Packages from sources"
shot "$shots/5-configuration.png"
shutdown_before_run=$(drive endsession "$W")
next
started=$SECONDS
wait_for_output_line "Compiling package: tkQuorvex"; building=$?
# The window answers while the tool sleeps: reading the pane goes through setup.exe's message loop.
pane_while_building=$(compile_output 5); answered=$?
shot "$shots/6-compile-building.png"
# The hidden Back and the greyed buttons refuse a press: their commands are sent as they arrive
# from a click that gets through. The close box's WM_CLOSE is posted; two settles see it handled.
for button in "< Back" "Finish" "Save Build Log..."; do drive_within 10 focus "$W" Button "$button"; done
drive close "$W"
drive settle "$W"; drive settle "$W"
shutdown_while_building=$(drive endsession "$W")
page_while_building=$(page_title)
cancel_while_building=$(drive_within 10 state "$W" Button "Cancel")
save_dialog_while_building=$(drive save "Save As" - 3000 2>/dev/null)
shot "$shots/6-compile-commands-ignored.png"
drive click "$W" Button "Cancel"
pane_after_cancel=$(compile_output 5 | tail -n 1)
window_after_cancel=$(drive_within 10 state "$W" Button "Cancel")
cancelled_after=$((SECONDS - started))
shot "$shots/7-compile-cancelled.png"
wait_for_exit $((hang_seconds + 90))
ended_after=$((SECONDS - started))
shot "$shots/8-ended.png"
left_open=$(drive wait "$W" 1000 2>&1)

check "the build of tkQuorvex began" test "$building" -eq 0
check "the window answered while the tool ran, its pane up to the sleeping build" \
    test "$answered $(tail -n 1 <<<"$pane_while_building")" = "0 Compiling package: tkQuorvex"
check "Back, Finish and the close box left the compile page shown ($page_while_building)" \
    test "$page_while_building" = "Compiling and Installing Packages"
check "a shutdown was let through before the run ($shutdown_before_run)" test "$shutdown_before_run" = allowed
check "and asked to wait while the tool ran ($shutdown_while_building)" test "$shutdown_while_building" = refused
check "the close box did not act as Cancel ($cancel_while_building)" test "$cancel_while_building" = "enabled visible unchecked"
check "Save Build Log opened no dialog during the run ($save_dialog_while_building)" test -z "$save_dialog_while_building"
check "Cancel came while the tool still ran (${cancelled_after}s of ${hang_seconds}s)" \
    test "$pane_after_cancel" = "Compiling package: tkQuorvex"
check "Cancel leaves the window open while the run goes on, its button greyed ($window_after_cancel)" \
    grep -q "^disabled visible" <<<"$window_after_cancel"
check "setup.exe ended by itself after the tool's sleep (${ended_after}s, exit $setup_exit)" \
    test "$setup_exit" -eq 0 -a "$ended_after" -ge "$hang_seconds"
check "its window is gone" grep -q "no window" <<<"$left_open"
check "the sleeping tool finished its build" eval \
    'sed -n "/Compiling tkQuorvexD7.dpk/,/^Compiling package/p" "$work/dist/install.log" | grep -q "lines, .* bytes code"'
check "install.log ends with the run's last line" test "$(tail -n 1 "$work/dist/install.log" | tr -d '\r')" = \
    "$last_line"
check "the run went on to the design package" grep -q "Installing package: tkQuorvexDsgn" "$work/dist/install.log"
check "Delphi 7: recorded as installed" eval 'reg_query "$product_key\\$d7_name" /v Installed | grep -q 0x1'
check "Delphi 7: its packages are built" test -f "$bpl/tkQuorvexD7.bpl" -a -f "$bpl/tkQuorvexDsgnD7.bpl"
check "Delphi 7: its design package is known to the IDE" eval 'known_packages "Delphi\\7.0" | grep -qi tkQuorvexDsgnD7'
[ "$failures" -eq 0 ]
