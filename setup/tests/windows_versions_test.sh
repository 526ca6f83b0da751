#!/usr/bin/env bash
# The system line at the head of a run, on the Windows versions the installer serves, as Wine
# reports them (the prefix's version setting). Windows XP through the window, install then
# uninstall; Windows 2000 and 10 through the engine alone; Windows 98 through the window, a first
# installation without IDEs (in its mode Wine hides the 32-bit registry view from a 64-bit program,
# so nothing installed or seeded would be found). Keeps a screenshot per page.
# Usage: windows_versions_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk
make_distribution "$work/dist"
cp "$bin/engine_run.exe" "$work/dist/"

# The prefix is this test's own, so its version setting goes with it.
pose_as() { wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1; }
log_line() { tr -d '\r' <"$work/dist/install.log" | sed -n "$1p"; }
engine_run() { (cd "$work/dist" && wine engine_run.exe "$@" | tr -d '\r'); }
first_lines() { head -n 2 | tr '\n' '|'; }  # the first two lines as "one|two|"

# A first installation through the window whose pane and install.log start with the system line
# LINE and an empty line: install_shows_system_line NAME LINE SHOTS_FOLDER
install_shows_system_line() {
    start_setup "$work/dist"
    install_plainly "$3"
    check "$1 install: the pane starts with the system line and an empty line" \
        test "$(first_lines <<<"$output")" = "$2||"
    check "$1 install: so does install.log" test "$(log_line 1)|$(log_line 2)" = "$2|"
    check "$1 install: the run ended ($setup_exit)" test "$setup_exit" -eq 0
}

xp="Windows XP Service Pack 3 (5.1.2600)"
pose_as winxp
install_shows_system_line XP "$xp" "$shots/xp-install"

start_setup "$work/dist"
drive click "$W" Button "Uninstall Quorvex"
next
run_to_finish "$shots/xp-uninstall.png"
check "XP uninstall: install.log starts with character 1, the system line and an empty line" \
    test "$(log_line 1)|$(log_line 2)" = $'\x01'"$xp|"
check "XP uninstall: the pane leaves the system line out" eval '! grep -qF "$xp" <<<"$output"'
check "XP uninstall: the run ended ($setup_exit)" test "$setup_exit" -eq 0

pose_as win2k
w2k_install=$(engine_run install)
check "Windows 2000: the engine's run starts with the system line and an empty line" \
    test "$(first_lines <<<"$w2k_install")" = "Windows 2000 Service Pack 4 (5.0.2195)||"
engine_run uninstall >/dev/null

pose_as win10
w10_install=$(engine_run install)
check "Windows 10: no system line, the run starts with its work" \
    test "$(head -n 1 <<<"$w10_install")" = "Delete old files..."
check "Windows 10: nor in install.log" test "$(log_line 1)" = "Delete old files..."
engine_run uninstall >/dev/null
check "Windows 10: the product is gone before the next walk" eval '! reg_has "$product_key"'

pose_as win98
install_shows_system_line "Windows 98" "Windows 98  A  (4.10.2222)" "$shots/98-install"
check "Windows 98: the product files are there" test -d "$drive_c/Quorvex Test/Packages"
[ "$failures" -eq 0 ]
