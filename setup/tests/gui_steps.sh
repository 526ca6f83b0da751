# Steps through setup.exe's pages with ui_driver ($bin/ui_driver.exe); sourced by the GUI tests
# and the demo.
W="Quorvex Installer"
# A failure is named on standard error, with Wine's exit code: with WINEDEBUG=-all a program that
# Wine could not start gives no other sign.
drive() {
    wine "$bin/ui_driver.exe" "$@" | tr -d '\r'
    local status=${PIPESTATUS[0]}
    ((status == 0)) || echo "ui_driver $*: exit $status" >&2
    return "$status"
}
# drive_within SECONDS ...: as drive, but fails when setup.exe does not answer in time.
drive_within() { timeout "$1" wine "$bin/ui_driver.exe" "${@:2}" | tr -d '\r'; }
source "$here/../../tools/wine_test/checks.sh"
source "$here/../../tools/wine_test/screenshot.sh"
# shot FILE: a screenshot once the window has handled what came before and has been painted.
shot() {
    drive settle "$W"
    stable_screenshot "$1"
}
# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; fails when it never did in time.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
next() { drive click "$W" Button "Next >"; }
# The shown page's header title: the first line of its text.
page_title() { drive page "$W" | head -n 1; }

# A scratch folder $work with a private Wine prefix; both go, and wineserver ends, on exit.
begin_machine() {
    work=$(mktemp -d)
    trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
    machines=0
    next_machine
}
# The start of a walk: a scratch machine and an empty screenshot folder $shots.
begin_walk() {
    begin_machine
    fresh_shots "$shots"
}
# A fresh machine: a new copy of the template prefix (QV_WINE_TEMPLATE) in $work, nothing
# installed or seeded.
next_machine() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    machines=$((machines + 1))
    export WINEPREFIX=$work/prefix$machines
    drive_c=$WINEPREFIX/drive_c
    bash "$here/../../tools/wine_test/copy_prefix.sh" "${QV_WINE_TEMPLATE:?the template prefix}" "$WINEPREFIX"
}
# fresh_shots FOLDER: the folder for this run's screenshots, without those of an earlier run.
fresh_shots() {
    mkdir -p "$1"
    find "$1" -name '*.png' -delete
}
# make_distribution FOLDER [mkdist options]: the sample distribution from this build.
make_distribution() {
    local folder=$1; shift
    bash "$here/../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host_bin" "$@" "$folder" >/dev/null
}
# seed TEXT: IDEs from their description (see tools/seed_ides/ide_description.h).
seed() {
    printf '%s' "$1" | sed 's/$/\r/' >"$work/seed.ides"
    wine "$bin/seed_ides.exe" "$work/seed.ides" >/dev/null
}
# start_setup FOLDER: setup.exe of the distribution in FOLDER, its window shown; sets setup_pid.
start_setup() {
    (cd "$1" && wine setup.exe) & setup_pid=$!
    drive wait "$W" 60000 >/dev/null
}
# Presses Finish and waits for setup.exe; sets setup_exit.
finish_setup() {
    drive click "$W" Button "Finish"
    wait_for_exit 60
    [ "$setup_exit" -ne 124 ] || echo "setup.exe still runs a minute after Finish" >&2
}
# Waits up to $1 seconds for setup.exe to end by itself; sets setup_exit, 124 while it still runs.
wait_for_exit() {
    wait_until "$1" eval '! kill -0 "$setup_pid" 2>/dev/null'
    if kill -0 "$setup_pid" 2>/dev/null; then setup_exit=124; else wait "$setup_pid"; setup_exit=$?; fi
}
# The compile page's output pane, read within $1 seconds (default 30); the tools' own lines are
# left out of it.
compile_output() { drive_within "${1:-30}" text "$W" Edit "#116"; }
# Waits up to a minute for the pane's last line to be $1.
last_output_line_is() { [ "$(compile_output | tail -n 1)" = "$1" ]; }
wait_for_output_line() { wait_until 60 last_output_line_is "$1"; }
# Waits for the run on the compile page to end, keeps its screenshot, then finishes.
run_to_finish() {
    wait_for_finish
    shot "$1"
    output=$(compile_output)
    finish_setup
}
# grey_at SHOT X Y: the grey level, 0 to 255, of the screenshot's pixel at the screen point.
grey_at() { convert "$1" -crop "1x1+$2+$3" +repage -colorspace gray -format '%[fx:round(255*u)]' info:; }
# stands_out SHOT X Y X2 Y2: the pixel at X,Y is clearly darker than the page's at X2,Y2.
stands_out() { (($(grey_at "$1" "$2" "$3") + 30 < $(grey_at "$1" "$4" "$5"))); }
# dark_span SHOT INSET LEFT TOP RIGHT BOTTOM: the first and the last screen column with dark
# pixels (text, lines) in the rectangle shrunk by INSET on each side; "none" without any.
dark_span() {
    local shot=$1 inset=$2 left=$(($3 + $2)) top=$(($4 + $2)) right=$(($5 - $2)) bottom=$(($6 - $2)) box
    box=$(convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -colorspace gray \
        -threshold 50% -bordercolor white -border 1 -format '%@' info:)
    if [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+[0-9]+$ ]] && ((BASH_REMATCH[1] <= right - left)); then
        echo "$((left + BASH_REMATCH[2] - 1)) $((left + BASH_REMATCH[2] - 1 + BASH_REMATCH[1] - 1))"
    else
        echo none
    fi
}
# caption_whole SHOT WINDOW CLASS CONTROL: the push button's caption shows whole in SHOT: its text
# keeps off the button's edges (3 pixels) by a column at least on both sides.
caption_whole() {
    local left top right bottom span
    read -r left top right bottom < <(drive rect "$2" "$3" "$4")
    span=$(dark_span "$1" 3 "$left" "$top" "$right" "$bottom")
    echo "$4 at $left..$right, its text at ${span/ /..}" >&2
    [[ $span != none ]] && read -r first last <<<"$span" && ((first > left + 3 && last < right - 4))
}
# box_caption_whole SHOT WINDOW CONTROL: a check box's caption ends before the box's right edge.
box_caption_whole() {
    local left top right bottom span
    read -r left top right bottom < <(drive rect "$2" Button "$3")
    span=$(dark_span "$1" 0 "$left" "$top" "$right" "$bottom")
    echo "box $3 at $left..$right, dark at ${span/ /..}" >&2
    [[ $span != none ]] && read -r first last <<<"$span" && ((last < right - 1))
}
# frame_edges SHOT ID: which edges of the folder frame #ID show in SHOT against the page beside
# them: its top bevel line and its edit's sunken border. Prints "bevel+border", "bevel", "border"
# or "none".
frame_edges() {
    local shot=$1 left top right bottom edges=()
    read -r left top right bottom < <(drive rect "$W" QvDirEditBrowse "#$2")
    stands_out "$shot" $((left + 20)) "$top" $((left + 20)) $((top + 3)) && edges+=(bevel)
    read -r left top right bottom < <(drive rect "$W" Edit "#$2/#3")
    local middle=$(((top + bottom) / 2))
    stands_out "$shot" "$left" "$middle" $((left - 3)) "$middle" && edges+=(border)
    local IFS=+
    echo "${edges[*]:-none}"
}
# folder_edges SHOT: frame_edges of the configuration page's shown folder frames (BPL, DCP, HPP).
folder_edges() {
    local id shown=()
    for id in 128 129 130; do
        [[ $(drive state "$W" QvDirEditBrowse "#$id") == *" visible "* ]] && shown+=("$(frame_edges "$1" "$id")")
    done
    echo "${shown[*]}"
}
# The IDE page's check box and action label for the IDE at INDEX, in the page's order.
ide_box() { echo "#$((200 + $1))"; }
ide_label() { drive text "$W" Static "#$((300 + $1))"; }
# The product writes to the 32-bit view of the registry, as the IDEs read it.
reg_query() { wine reg query "$@" /reg:32 2>/dev/null | tr -d '\r'; }
reg_has() { wine reg query "$@" /reg:32 >/dev/null 2>&1; }
# known_packages 'Delphi\7.0': the IDE's list of design-time packages.
known_packages() { reg_query "HKCU\\Software\\Borland\\$1\\Known Packages"; }
product_key='HKLM\Software\Veltrano Software\Quorvex'
# disable_package KEY PACKAGE: what an IDE (HKCU\Software\Borland\...) does after a package
# failed to load and the user chose not to try it again.
disable_package() {
    wine reg delete "$1\\Known Packages" /v "$2" /f >/dev/null
    wine reg add "$1\\Disabled Packages" /v "$2" /t REG_SZ /d "Quorvex Component" /f >/dev/null
}
# Types into the destination frame's edit, presses Next and answers the refusal.
refuse_destination() {
    drive type "$W" Edit "#114/#3" "$1"
    next
    drive message "$W" 10000
}
# Finish shown and enabled: the other pages keep it hidden, but not always disabled.
finish_enabled() { [[ $(drive state "$W" Button "Finish") == "enabled visible"* ]]; }
wait_for_finish() { wait_until 300 finish_enabled; }

# A first installation with the checked IDEs into C:\Quorvex Test; BPL folder $2 for the first
# IDE. On the configuration page the second IDE is chosen and then the first again; config_edges
# tells the folder frames' edges after each choice (BPL, DCP, HPP when shown). Sets licence_next,
# refused_*, save_dialog, destination_edges, config_edges and output for the caller's checks.
walk_first_installation() {
    local shots=$1 bpl=$2
    shot "$shots/1-welcome.png"
    next; shot "$shots/2-licence.png"
    licence_next=$(drive state "$W" Button "Next >")
    drive click "$W" Button "Yes, I accept this agreement"
    next; shot "$shots/3-destination.png"
    destination_edges=$(frame_edges "$shots/3-destination.png" 114)
    refused_relative=$(refuse_destination 'Quorvex')
    refused_quote=$(refuse_destination 'C:\Q" -y')
    refused_photos=$(refuse_destination 'C:\Photos')
    refused_semicolon=$(refuse_destination 'C:\Tools;Libs\Quorvex')
    drive type "$W" Edit "#114/#3" 'C:\Quorvex Test'
    next; shot "$shots/4-ide-targets.png"
    next; shot "$shots/5-configuration.png"
    config_edges="first: $(folder_edges "$shots/5-configuration.png")"
    drive select "$W" ComboBox "#120" 1; shot "$shots/5-configuration-second.png"
    config_edges+="; second: $(folder_edges "$shots/5-configuration-second.png")"
    drive select "$W" ComboBox "#120" 0
    drive type "$W" Edit "#128/#3" "$bpl"; shot "$shots/5-configuration-first-again.png"
    config_edges+="; first again: $(folder_edges "$shots/5-configuration-first-again.png")"
    next
    wait_for_finish
    shot "$shots/6-compile.png"
    output=$(compile_output)
    drive click "$W" Button "Save Build Log..."
    save_dialog=$(drive save "Save As" 'C:\build.log')
    wait_until 10 test -s "$WINEPREFIX/drive_c/build.log"
}

# From the welcome page of a first installation to the IDE page, the destination C:\Quorvex Test;
# a screenshot of each page into the folder $1.
to_ide_page() {
    mkdir -p "$1"
    shot "$1/1-welcome.png"
    next; drive click "$W" Button "Yes, I accept this agreement"; shot "$1/2-licence.png"
    # The page fills its folder from the record as it is shown: typing goes in after that.
    next; drive settle "$W"; drive type "$W" Edit "#114/#3" 'C:\Quorvex Test'; shot "$1/3-destination.png"
    next; shot "$1/4-ide-targets.png"
}

# A first installation with the defaults, for the tests that start from an installed product; the
# IDE boxes at the indexes $2.. are unchecked first. A screenshot of each page into the folder $1.
install_plainly() {
    local shots=$1; shift
    to_ide_page "$shots"
    local box
    for box in "$@"; do drive click "$W" Button "$(ide_box "$box")"; done
    next
    # The configuration page asks the shell for the IDEs' icons as it is entered, and the shell may
    # answer the driver's settle message from inside that: the page can still be on its way.
    wait_until 30 eval '[ "$(page_title)" != "Choose IDE Targets" ]'
    if [ "$(page_title)" = "Configuration" ]; then
        shot "$shots/5-configuration.png"
        next
    fi
    run_to_finish "$shots/6-compile.png"
}
