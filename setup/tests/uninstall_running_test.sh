#!/usr/bin/env bash
# An uninstall while an IDE that holds the product runs: Next on the maintenance page names that
# IDE and the wizard stays; once the IDE's program has ended, Next goes on and the uninstall runs.
# An IDE without the product may run. Under Wine the desktop's user is the one setup runs as, so
# the run names no other user. Keeps a screenshot per step.
# Usage: uninstall_running_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk
make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'
d7_bpl=$drive_c/D7/Projects/Bpl/tkQuorvexD7.bpl

start_setup "$work/dist"
install_plainly "$shots/0-installation" 1
check "Delphi 7 was installed ($setup_exit)" test -f "$d7_bpl"

# Delphi 7 holds the product, C++Builder 6 does not; both programs run.
cp "$bin/ide_stub.exe" "$drive_c/D7/Bin/delphi32.exe"
cp "$bin/ide_stub.exe" "$drive_c/CB6/Bin/bcb.exe"
wine 'C:\D7\Bin\delphi32.exe' 0 'C:\d7-runs' & d7_pid=$!
wine 'C:\CB6\Bin\bcb.exe' 0 'C:\cb6-runs' & cb6_pid=$!
check "both IDE programs run" wait_until 60 test -e "$drive_c/d7-runs" -a -e "$drive_c/cb6-runs"

start_setup "$work/dist"
drive click "$W" Button "Uninstall Quorvex"
next
refusal=$(drive message "$W" 10000)
second=$(drive message "$W" 3000 2>/dev/null)
shot "$shots/1-maintenance-stays.png"
stays=$(page_title)

# Next again once Delphi 7 has ended; the wineserver may list it a moment longer, and then the
# refusal comes again and is answered.
kill "$d7_pid"; wait "$d7_pid"
leaves_maintenance() {
    next
    [ "$(page_title)" != "Quorvex maintenance" ] || { drive message "$W" 10000 >/dev/null; false; }
}
wait_until 60 leaves_maintenance
after=$(page_title)
run_to_finish "$shots/2-compile-uninstall.png"
kill "$cb6_pid"; wait "$cb6_pid"

check "Next names the running IDE that holds the product ($refusal)" test "$refusal" = \
    "Delphi 7.0 (Enterprise) IDE is running. Please close it before continue."
check "the IDE without the product may run ($second)" test -z "$second"
check "the wizard stays on the maintenance page ($stays)" test "$stays" = "Quorvex maintenance"
check "with Delphi 7 ended, Next goes to the compile page ($after)" test "$after" = \
    "Compiling and Installing Packages"
check "the uninstallation ended ($setup_exit)" test "$setup_exit" -eq 0
check "the run ended with its last line" grep -q "Uninstall completed. Press Finish to exit installation." <<<"$output"
check "the same user at the desktop: no line about users" eval '! grep -q "IDE settings are changed" <<<"$output"'
check "Delphi 7: its package file is gone" test ! -e "$d7_bpl"
check "Delphi 7 no longer knows the product" eval '! known_packages "Delphi\\7.0" | grep -qi tkQuorvex'
[ "$failures" -eq 0 ]
