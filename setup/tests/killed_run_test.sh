#!/usr/bin/env bash
# setup.exe killed in the middle of an IDE's changes: a first installation into Delphi 7 compiled
# from sources, killed while the compiler of its design package waits. The next start shows one
# message box naming Delphi 7 before its window, and Delphi 7's registry and folder, every file
# with its MD5, are as before the run. A second start while the first one works only says that
# setup is already running: it leaves the first one's journal alone.
# Keeps screenshots.
# Usage: killed_run_test.sh BIN_DIR HOST_BIN_DIR SHOTS_DIR   (on a display, see run_on_xvfb.sh)
set -uo pipefail
bin=$1 host_bin=$2 shots=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/gui_steps.sh"
begin_walk

make_distribution "$work/dist" --with-sources
seed $'[Delphi 7.0]\nroot = C:\\D7\nstub-tools = yes\n'
d7_name="Delphi 7.0 (Enterprise)"
bpl=$drive_c/D7/Projects/Bpl
# Delphi 7 as a snapshot: its registry keys and every file of its folder with its MD5.
snapshot() {
    wine reg export 'HKCU\Software\Borland\Delphi\7.0' "$work/d7.reg" /y >/dev/null 2>&1
    iconv -f UTF-16LE -t UTF-8 "$work/d7.reg" | tr -d '\r' | tail -n +2
    reg_query "$product_key\\$d7_name" || echo "no record of Delphi 7"
    (cd "$drive_c" && find D7 -type f | sort | xargs -d '\n' md5sum)
}
snapshot >"$work/before"
# Every file of a journal on the machine, with its MD5.
journal_now() { find "$drive_c" -path '*.journal/*' -type f | sort | xargs -r -d '\n' md5sum; }
# Long enough for a second start and its message before the kill, on a loaded machine too.
export QV_STUB_HANG="dcc32:tkQuorvexDsgnD7" QV_STUB_HANG_SECONDS=40

# Started here, not by start_setup, so that its process id is setup.exe's own.
(cd "$work/dist" && exec wine setup.exe) & setup_pid=$!
drive wait "$W" 60000 >/dev/null
to_ide_page "$shots"
next
drive click "$W" Button "Compile Packages from sources"
next
wait_for_output_line "Compiling package: tkQuorvexDsgn"; building=$?
# The line comes before the tool starts: its own process shows that it runs.
wait_until 60 runs_here 'D7.Bin.dcc32\.exe'; started=$?
shot "$shots/6-compile-building.png"
journal_now >"$work/journal-before-second"
(cd "$work/dist" && exec wine setup.exe) & second_pid=$!
second_message=$(drive message "Quorvex Setup" 60000)
wait_until 30 eval '! kill -0 "$second_pid" 2>/dev/null' || kill -KILL "$second_pid"
wait "$second_pid"; second_exit=$?
journal_now >"$work/journal-after-second"
still_building=$(runs_here 'D7.Bin.dcc32\.exe' && echo yes)
kill -KILL "$setup_pid"
wait "$setup_pid" 2>/dev/null
unset QV_STUB_HANG QV_STUB_HANG_SECONDS
# The compiler may outlive setup.exe (and write its files then): the next start comes once it
# has ended.
wait_until 120 eval "! runs_here 'D7.Bin.dcc32\.exe'"; finished=$?

(cd "$work/dist" && exec wine setup.exe) & setup_pid=$!
message=$(drive message "Quorvex Setup" 60000)
drive wait "$W" 60000 >/dev/null; window=$?
shot "$shots/7-next-start.png"
snapshot >"$work/after"
kill -KILL "$setup_pid"
wait "$setup_pid" 2>/dev/null

check "the design package's build had begun when setup.exe was killed" test "$building" -eq 0 -a "$started" -eq 0
check "a second start said that setup is already running ($second_message)" test "$second_message" = \
    "Quorvex Setup is already running. Finish or close it, then start setup again."
check "and ended with exit code 2 ($second_exit)" test "$second_exit" -eq 2
check "leaving the first run's journal as it was ($(wc -l <"$work/journal-before-second") files)" \
    eval 'test -s "$work/journal-before-second" && diff "$work/journal-before-second" "$work/journal-after-second"'
check "while the first run's compiler still ran" test "$still_building" = yes
check "the compiler ended after the kill" test "$finished" -eq 0
check "the next start named Delphi 7 in one message box ($message)" test "$message" = \
    "The last run of Quorvex Setup was cut short before it had finished. $d7_name is as it was before that run."
check "then its window opened" test "$window" -eq 0
check "the snapshot holds Delphi 7's settings and packages" \
    eval 'grep -q "Known Packages" "$work/before" && grep -q "D7/Bin/rtl70.bpl" "$work/before"'
check "Delphi 7's registry and files are as they were" diff "$work/before" "$work/after"
check "no journal is left" test -z "$(journal_now)"
[ "$failures" -eq 0 ]
