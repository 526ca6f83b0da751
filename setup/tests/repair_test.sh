#!/usr/bin/env bash
# Maintenance mends what went wrong in an IDE since the installation. The product is built from
# its sources into Delphi 7 and C++Builder 6; then, as the IDE and a user would, Delphi 7's design
# package goes to its disabled packages and its units folder out of its search path, and
# C++Builder 6's design package is disabled. The IDE page shows both IDEs checked to be
# reinstalled, each with its finding; the run rewrites their settings without starting a tool, and
# the IDEs' registry is then what the installation left. Keeps a screenshot per page.
# Usage: repair_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist" --with-sources
seed $'[Delphi 7.0]\nroot = C:\\D7\nstub-tools = yes\n\n[C++Builder 6.0]\nroot = C:\\CB6\nstub-tools = yes\n'
d7_key='HKCU\Software\Borland\Delphi\7.0' cb6_key='HKCU\Software\Borland\C++Builder\6.0'
d7_design='C:\D7\Projects\Bpl\tkQuorvexDsgnD7.bpl' cb6_design='C:\CB6\Projects\Bpl\tkQuorvexDsgnC6.bpl'
# export_ides NAME: the IDEs' settings as text in $work/NAME.txt.
export_ides() {
    wine reg export 'HKCU\Software\Borland' "$work/$1.reg" /y >/dev/null 2>&1 &&
        iconv -f UTF-16LE -t UTF-8 "$work/$1.reg" | tr -d '\r' >"$work/$1.txt"
}
# compile_from_sources INDEX: the configuration page's IDE at INDEX builds from the package projects.
compile_from_sources() {
    drive select "$W" ComboBox "#120" "$1"
    [[ $(drive state "$W" Button "#122") == *" checked" ]] || drive click "$W" Button "#122"
}
search_path() { reg_query "$d7_key\\Library" /v "Search Path" | sed -n 's/.*REG_SZ *//p'; }

start_setup "$work/dist"
to_ide_page "$shots/0-installation"
next
wait_until 30 eval '[ "$(page_title)" = "Configuration" ]'
compile_from_sources 0
compile_from_sources 1
shot "$shots/0-installation/5-configuration.png"
next
run_to_finish "$shots/0-installation/6-compile.png"
check "the installation ended ($setup_exit)" test "$setup_exit" -eq 0
check "the installation built with the IDEs' tools" grep -q 'dcc32.exe' "$work/dist/install.log"
export_ides installed

disable_package "$d7_key" "$d7_design"
disable_package "$cb6_key" "$cb6_design"
installed_path=$(search_path)
wine reg add "$d7_key\\Library" /v "Search Path" /t REG_SZ /f \
    /d "$(tr ';' '\n' <<<"$installed_path" | grep -vi 'Quorvex' | paste -sd ';')" >/dev/null
check "the search path lost the units folder" eval '! search_path | grep -qi Quorvex'

start_setup "$work/dist"
next
wait_until 30 eval '[ "$(page_title)" = "Choose IDE Targets" ]'
shot "$shots/1-ide-targets.png"
# ide_box_shown INDEX: the box's check, its action and its repair line.
ide_box_shown() {
    local check
    check=$(drive state "$W" Button "$(ide_box "$1")" | cut -d' ' -f3)
    echo "$check, $(ide_label "$1"), $(drive text "$W" Static "#$((400 + $1))")"
}
ide_page="$(ide_box_shown 0) / $(ide_box_shown 1)"
texts=$(drive fits "$W")
next
wait_until 30 eval '[ "$(page_title)" = "Configuration" ]'
compile_from_sources 0
compile_from_sources 1
next
run_to_finish "$shots/2-compile.png"
export_ides repaired

d7_shown="checked, Action: Reinstall, Needs repair: 2 findings"
cb6_shown="checked, Action: Reinstall, Needs repair: the design package is disabled"
check "the IDE page: both checked to be reinstalled, each with its finding ($ide_page)" test "$ide_page" = \
    "$d7_shown / $cb6_shown"
check "the IDE page: every text whole ($(tail -n 1 <<<"$texts"))" eval '! grep -q "^cut:" <<<"$texts"'
check "the repair ended ($setup_exit)" test "$setup_exit" -eq 0
check "Delphi 7 repaired without a rebuild" grep -qx "Repaired Delphi 7.0 (Enterprise) without a rebuild." <<<"$output"
check "C++Builder 6 repaired without a rebuild" \
    grep -qx "Repaired C++Builder 6.0 (Enterprise) without a rebuild." <<<"$output"
check "the build log names the findings" \
    grep -q "tkQuorvexDsgnD7.bpl is in the disabled packages." "$work/dist/install.log"
check "no tool was started" eval '! grep -qiE "dcc32|bpr2mak|make\.exe" "$work/dist/install.log"'
check "the IDEs' registry is as the installation left it" diff "$work/installed.txt" "$work/repaired.txt"
[ "$failures" -eq 0 ]
