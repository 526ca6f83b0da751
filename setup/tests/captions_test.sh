#!/usr/bin/env bash
# No caption is cut off, checked on the screen's pixels: the destination page's "Browse..."
# button, the IDE page's check boxes ("C++Builder 6.0 (Enterprise)" is longer than the boxes'
# 160 pixels in Wine's fonts), and the "No directory" button of the folder dialog that the
# configuration page's BPL folder opens. Keeps a screenshot of each.
# Usage: captions_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist"
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'
start_setup "$work/dist"
to_ide_page "$shots"
check "destination: \"Browse...\" shows whole" caption_whole "$shots/3-destination.png" "$W" Button "Browse..."
check "IDE targets: Delphi 7's box shows its name whole" box_caption_whole "$shots/4-ide-targets.png" "$W" "$(ide_box 0)"
check "IDE targets: C++Builder 6's box shows its name whole" \
    box_caption_whole "$shots/4-ide-targets.png" "$W" "$(ide_box 1)"

next
drive click "$W" Button "#128/#4"
dialog="Browse for Folder"
drive wait "$dialog" 10000 >/dev/null
shot "$shots/5-bpl-folder-dialog.png"
check "folder dialog: \"No directory\" shows whole" \
    caption_whole "$shots/5-bpl-folder-dialog.png" "$dialog" Button "No directory"
drive click "$dialog" Button "Cancel"
drive close "$W"
wait "$setup_pid"
[ "$failures" -eq 0 ]
