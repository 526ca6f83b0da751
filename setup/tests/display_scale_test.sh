#!/usr/bin/env bash
# Every page at a display scale other than 96 DPI: the DPI is set in a fresh prefix before setup
# first starts, and on each page every label, check box, radio button and button shows its text
# whole (ui_driver fits). The wizard's client area is 540 × 432 scaled, within a pixel; a window
# larger than the 1024 × 768 screen keeps its top left corner, and so its caption bar, on it.
# Walks the first installation with the longest IDE names, then the maintenance page and the IDE
# page with an IDE in need of repair, then the update page of a newer distribution. Keeps a
# screenshot of each page.
# Usage: display_scale_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR DPI   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3 dpi=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

# Where Windows keeps the DPI, and Wine reads it when a program starts.
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
done
wineserver -w
make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n\n[BDS 3.0]\nroot = C:\\BDS3\n'

scaled() { echo $((($1 * dpi + 48) / 96)); }
# page_whole NAME: the shown page's screenshot, and every text on it measured.
page_whole() {
    shot "$shots/$1.png"
    local cut
    cut=$(drive fits "$W")
    check "$1: every text whole at $dpi DPI ($(tail -n 1 <<<"$cut"))" test "$(grep -c '^cut:' <<<"$cut")" -eq 0
    grep '^cut:' <<<"$cut" >&2
}
wizard_size_scaled() {
    local left top right bottom width height
    read -r left top right bottom < <(drive rect "$W" QvWizard "#100")
    width=$((right - left)) height=$((bottom - top))
    echo "wizard $width x $height at $left,$top" >&2
    ((width >= $(scaled 540) - 1 && width <= $(scaled 540) + 1)) &&
        ((height >= $(scaled 432) - 1 && height <= $(scaled 432) + 1)) &&
        ((left >= 0 && top >= 0 && left < 1024 && top < 768))
}

start_setup "$work/dist"
check "the wizard is 540 x 432 scaled, its corner on the screen" wizard_size_scaled
page_whole 1-welcome
next; page_whole 2-licence
drive click "$W" Button "Yes, I accept this agreement"
next; drive type "$W" Edit "#114/#3" 'C:\Quorvex Test'; page_whole 3-destination
next; page_whole 4-ide-targets
next
wait_until 30 eval '[ "$(page_title)" = "Configuration" ]'
page_whole 5-configuration
drive select "$W" ComboBox "#120" 1; page_whole 5-configuration-second
next
wait_for_finish
page_whole 6-compile
finish_setup
check "the installation ended ($setup_exit)" test "$setup_exit" -eq 0

# Delphi 7 in need of repair: the IDE page shows a line more for it.
disable_package 'HKCU\Software\Borland\Delphi\7.0' 'C:\D7\Projects\Bpl\tkQuorvexDsgnD7.bpl'
start_setup "$work/dist"
page_whole 7-maintenance
next
wait_until 30 eval '[ "$(page_title)" = "Choose IDE Targets" ]'
page_whole 7-ide-targets-repair
repair_line=$(drive text "$W" Static "#400")
check "the repair line is shown ($repair_line)" test "$repair_line" = "Needs repair: the design package is disabled"
drive close "$W"
wait "$setup_pid"

make_distribution "$work/newer" --version "2.5.0.1 Standard Edition"
start_setup "$work/newer"
page_whole 8-update
drive close "$W"
wait "$setup_pid"
[ "$failures" -eq 0 ]
