#!/usr/bin/env bash
# The IDE page's refusals and its empty case. Two selected IDEs running: one message each, and the
# wizard stays on the page. Only Delphi 5, older than any target: an empty IDE page whose Next
# stays enabled and skips the configuration page. A BPL folder typed on the configuration page that
# no tool may get: a message on Next, and the wizard stays there showing that IDE; corrected, the
# installation goes on. An edition of 1,000 characters, longer than any buffer a list item might be
# read into: the configuration page's target list draws it and holds it whole; its IDE's program is
# gone, so its item draws no icon and the next IDE keeps its own. Keeps a screenshot per page.
# Usage: refusals_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk
make_distribution "$work/dist"

# Two running IDEs.
seed $'[Delphi 7.0]\nroot = C:\\D7\nrunning = yes\n\n[C++Builder 6.0]\nroot = C:\\CB6\nrunning = yes\n'
start_setup "$work/dist"
to_ide_page "$shots/running"
next
first=$(drive message "$W" 10000)
second=$(drive message "$W" 10000)
third=$(drive message "$W" 3000 2>/dev/null)
shot "$shots/running/5-ide-targets-stays.png"
stays=$(page_title)
drive close "$W"
wait "$setup_pid"; closed=$?

check "a message for Delphi 7 ($first)" test "$first" = \
    "Delphi 7.0 (Enterprise) IDE is running. Please close it before continue."
check "a message for C++Builder 6 ($second)" test "$second" = \
    "C++Builder 6.0 (Enterprise) IDE is running. Please close it before continue."
check "no third message" test -z "$third"
check "the wizard stays on the IDE page ($stays)" test "$stays" = "Choose IDE Targets"
check "closed there, setup.exe ends cleanly ($closed)" test "$closed" -eq 0

# No IDE of version 6 or later.
next_machine
seed $'[Delphi 5.0]\nroot = C:\\D5\n'
start_setup "$work/dist"
to_ide_page "$shots/old-ide"
boxes=$(drive text "$W" Button "$(ide_box 0)" 2>&1)
ide_next=$(drive state "$W" Button "Next >")
next
after_ide=$(page_title)
run_to_finish "$shots/old-ide/5-compile.png"

check "the IDE page is empty ($boxes)" grep -q 'no Button "#200"' <<<"$boxes"
check "its Next is enabled ($ide_next)" test "$ide_next" = "enabled visible unchecked"
check "the configuration page is skipped ($after_ide)" test "$after_ide" = "Compiling and Installing Packages"
check "the installation ended ($setup_exit)" test "$setup_exit" -eq 0
check "the product files are there" test -d "$drive_c/Quorvex Test/Packages"

# A folder that no tool may get, typed for the second IDE while the first is shown at Next.
next_machine
seed $'[Delphi 7.0]\nroot = C:\\D7\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'
start_setup "$work/dist"
to_ide_page "$shots/folder"
next
drive select "$W" ComboBox "#120" 1
drive type "$W" Edit "#128/#3" 'C:\CB6 Bpl" -y'
drive select "$W" ComboBox "#120" 0
next
shot "$shots/folder/5-configuration-message.png"
folder_message=$(drive message "$W" 10000)
shot "$shots/folder/5-configuration-stays.png"
folder_page=$(page_title)
folder_ide=$(drive text "$W" ComboBox "#120")
folder_shown=$(drive text "$W" Edit "#128/#3")
drive type "$W" Edit "#128/#3" 'C:\CB6 Bpl'
next
run_to_finish "$shots/folder/6-compile.png"

check "configuration: the message names the folder, its IDE and the reason ($folder_message)" test \
    "$(head -n 1 <<<"$folder_message")" = 'The BPL folder "C:\CB6 Bpl" -y" of C++Builder 6.0 (Enterprise) cannot be used: it holds a character that a folder name cannot hold (" < > | ? * : or a control character).'
check "configuration: the message asks for another folder" grep -q "Please choose another folder." <<<"$folder_message"
check "configuration: the wizard stays on the page ($folder_page)" test "$folder_page" = "Configuration"
check "configuration: showing the IDE of that folder ($folder_ide)" test "$folder_ide" = "C++Builder 6.0 (Enterprise)"
check "configuration: and the folder as typed ($folder_shown)" test "$folder_shown" = 'C:\CB6 Bpl" -y'
check "configuration: corrected, the installation ended ($setup_exit)" test "$setup_exit" -eq 0
check "configuration: the package is in the corrected folder" test -f "$drive_c/CB6 Bpl/tkQuorvexC6.bpl"

# A registry value of any length reaches the owner-drawn list, and a program without an icon
# before one with it; the page is left by closing there.
next_machine
long_edition=$(printf 'Enterprise%.0s' {1..100})
seed $'[Delphi 7.0]\nroot = C:\\D7\nedition = '"$long_edition"$'\n\n[C++Builder 6.0]\nroot = C:\\CB6\n'
rm "$drive_c/D7/Bin/delphi32.exe"
start_setup "$work/dist"
to_ide_page "$shots/long-edition"
next
# target_shot NAME: the configuration page, and beside it the list's field cut into the icon and
# the text, between the field's border and its drop-down button.
target_shot() {
    local page=$shots/long-edition/$1.png left top right bottom
    shot "$page"
    read -r left top right bottom < <(drive rect "$W" ComboBox "#120")
    convert "$page" -crop "16x$((bottom - top - 10))+$((left + 4))+$((top + 5))" +repage "${page%.png}-icon.png"
    convert "$page" -crop "$((right - left - 44))x$((bottom - top - 10))+$((left + 24))+$((top + 5))" +repage \
        "${page%.png}-text.png"
}
# contrast PICTURE: 0 for a plain fill, more where something is drawn on it.
contrast() { convert "$1" -colorspace gray -format '%[fx:round(255*(maxima-minima))]' info:; }
target_shot 5-configuration
long_page=$(page_title)
long_item=$(drive text "$W" ComboBox "#120")
drive select "$W" ComboBox "#120" 1
target_shot 5-configuration-second
drive close "$W"
wait "$setup_pid"; long_closed=$?
long_text=$(contrast "$shots/long-edition/5-configuration-text.png")
icons="$(contrast "$shots/long-edition/5-configuration-icon.png") $(contrast "$shots/long-edition/5-configuration-second-icon.png")"

check "long edition: the configuration page shows ($long_page)" test "$long_page" = "Configuration"
check "long edition: the target list holds the whole name (${#long_item} characters)" \
    test "$long_item" = "Delphi 7.0 ($long_edition)"
check "long edition: the selected item's text is drawn (contrast $long_text)" test "${long_text:-0}" -gt 80
check "icons: none for Delphi 7 without a program, C++Builder 6 keeps its own (contrasts $icons)" \
    eval 'read -r first second <<<"$icons"; test "$first" -eq 0 -a "$second" -gt 80'
check "long edition: closed there, setup.exe ends cleanly ($long_closed)" test "$long_closed" -eq 0
[ "$failures" -eq 0 ]
