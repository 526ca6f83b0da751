#!/usr/bin/env bash
# A failed IDE is left exactly as it was, under Wine with the stub tools, through engine_run: a
# first installation, an update and a maintenance reinstall into Delphi 7, C++Builder 6 and
# Delphi 2005, each with Delphi 2005's last package failing to build; then a reinstall killed
# while that package's compiler runs, undone at the next start. Each time Delphi 2005's registry
# (its settings and the product's record of it, exported) and its folders (listed with the MD5
# of every file) are the same before and after.
# Usage: journal_test.sh BIN_DIR HOST_BIN_DIR   (in a private prefix, see tools/wine_test)
set -uo pipefail
bin=$1 host_bin=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../tools/wine_test/checks.sh"
begin_scratch
install_dir="$drive_c/Program Files/Veltradb/Quorvex"
bds="Delphi 2005 (Enterprise)"
all=("Delphi 7.0 (Enterprise)=install" "C++Builder 6.0 (Enterprise)=install" "$bds=install")

for version in 2.4.1.16 2.4.1.17; do
    bash "$here/../../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host_bin" --with-sources \
        --version "$version Standard Edition" "$work/$version" >/dev/null
    cp "$bin/engine_run.exe" "$work/$version/"
done
printf '[Delphi 7.0]\r\nroot = C:\\D7\r\nstub-tools = yes\r\n\r\n[C++Builder 6.0]\r\nroot = C:\\CB6\r\nstub-tools = yes\r\n\r\n[BDS 3.0]\r\nroot = C:\\BDS3\r\nstub-tools = yes\r\n' >"$work/seed.ides"
wine "$bin/seed_ides.exe" "$work/seed.ides" >/dev/null

# engine_run in a distribution (its output in $work/out, its exit code returned).
run() {
    local dist=$1; shift
    (cd "$work/$dist" && wine engine_run.exe "$@" 2>&1 | tr -d '\r' >"$work/out"; exit "${PIPESTATUS[0]}")
}
export_key() {
    if wine reg export "$1" "$work/key.reg" /y /reg:32 >/dev/null 2>&1; then
        iconv -f UTF-16LE -t UTF-8 "$work/key.reg" | tr -d '\r' | tail -n +2
    else
        echo "no key $1"
    fi
}
# Delphi 2005 as a snapshot: its registry keys, and every file of its folder and of its target
# folder with its MD5.
snapshot() {
    export_key 'HKCU\Software\Borland\BDS\3.0'
    export_key 'HKLM\Software\Borland\BDS\3.0'
    export_key "HKLM\\Software\\Veltrano Software\\Quorvex\\$bds"
    (cd "$drive_c" && find BDS3 "Program Files/Veltradb/Quorvex/Delphi9" -type f 2>/dev/null | sort | xargs -d '\n' md5sum)
}
failed_and_restored() {
    grep -qx "Installation into $bds failed." "$work/out" && grep -qx "$bds is as it was before the installation." "$work/out"
}
journal_gone() { ! ls "$drive_c/Program Files/Veltradb/" | grep -q journal; }
known() { wine reg query "HKCU\\Software\\Borland\\$1\\Known Packages" 2>/dev/null | tr -d '\r'; }

# A first installation: Delphi 2005's design package does not build.
snapshot >"$work/before"
QV_STUB_FAIL='dcc32:tkQuorvexDsgnD9' run 2.4.1.16 install --compile "${all[@]}"
code=$?
cat "$work/out"
# Its target folder came with the extraction: only its settings and BPL folder are compared.
snapshot | grep -v 'Quorvex/Delphi9' >"$work/after"
check "first installation: the run reported the failure (exit $code)" test "$code" -eq 1
check "first installation: Delphi 2005 failed and is as it was" failed_and_restored
check "first installation: Delphi 2005's registry and files are as they were" diff "$work/before" "$work/after"
check "first installation: Delphi 7 and C++Builder 6 are installed" \
    eval 'known "Delphi\\7.0" | grep -qi tkQuorvexDsgnD7 && known "C++Builder\\6.0" | grep -qi tkQuorvexDsgnC6'
check "first installation: no journal is left" journal_gone

# Delphi 2005 installed with the old version, and a file of that version in its target folder.
run 2.4.1.16 install --compile "$bds=install"
echo "the old version's unit" >"$install_dir/Delphi9/OldVersion.dcu"
check "the old version went into Delphi 2005" grep -qx "Completed" "$work/out"

# The update: Delphi 2005 keeps the old version, its packages and its target folder's units.
snapshot >"$work/before"
QV_STUB_FAIL='dcc32:tkQuorvexDsgnD9' run 2.4.1.17 install --compile "${all[@]}"
code=$?
cat "$work/out"
snapshot >"$work/after"
check "update: the snapshot holds Delphi 2005's packages and their registration" \
    eval 'grep -q "BDS3/Projects/Bpl/tkQuorvexDsgnD9.bpl" "$work/before" && grep -qi "tkQuorvexDsgnD9.bpl.*Quorvex Component" "$work/before"'
check "update: the run reported the failure (exit $code)" test "$code" -eq 1
check "update: Delphi 2005 failed and is as it was" failed_and_restored
check "update: Delphi 2005's registry, packages and target folder are the old version's" diff "$work/before" "$work/after"
check "update: Delphi 2005 still lists the old version's packages" eval 'known "BDS\\3.0" | grep -qi tkQuorvexDsgnD9'
check "update: its target folder holds the old version's units" test -f "$install_dir/Delphi9/OldVersion.dcu"
check "update: the new version is recorded" \
    eval "wine reg query 'HKLM\\Software\\Veltrano Software\\Quorvex' /v InstalledVersion /reg:32 | grep -q 2.4.1.17"
check "update: no journal is left" journal_gone

# A maintenance reinstall over a build that differs: put back byte for byte.
echo "an older build" >>"$drive_c/BDS3/Projects/Bpl/tkQuorvexD9.bpl"
snapshot >"$work/before"
QV_STUB_FAIL='dcc32:tkQuorvexDsgnD9' run 2.4.1.17 install --compile "${all[@]}"
code=$?
cat "$work/out"
snapshot >"$work/after"
check "reinstall: the run reported the failure (exit $code)" test "$code" -eq 1
check "reinstall: Delphi 2005 failed and is as it was" failed_and_restored
check "reinstall: Delphi 2005's registry and files are as they were" diff "$work/before" "$work/after"
check "reinstall: no journal is left" journal_gone

# A reinstall killed while the compiler of Delphi 2005's last package runs. The next start puts
# Delphi 2005 back.
snapshot >"$work/before"
(cd "$work/2.4.1.17" && QV_STUB_HANG='dcc32:tkQuorvexDsgnD9' QV_STUB_HANG_SECONDS=10 \
    exec wine engine_run.exe install --compile "${all[@]}" >"$work/killed" 2>&1) &
run_pid=$!
# The message comes before the journal's entry and the tool's start: the tool's own process is
# what shows that it runs.
bds_building() {
    grep -q "Compiling for: $bds" "$work/killed" && tr -d '\r' <"$work/killed" | tail -n 1 | grep -qx "Compiling package: tkQuorvexDsgn" &&
        runs_here 'BDS3.Bin.dcc32\.exe'
}
deadline=$((SECONDS + 120))
until bds_building || ((SECONDS > deadline)); do sleep 0.2; done
check "killed run: Delphi 2005's last package was being built" bds_building
kill -KILL "$run_pid"
wait "$run_pid" 2>/dev/null
# The compiler may outlive the run it was started by (and write its files then): the next start
# comes once it has ended.
deadline=$((SECONDS + 120))
while runs_here 'BDS3.Bin.dcc32\.exe' && ((SECONDS <= deadline)); do sleep 0.2; done
check "killed run: the compiler has ended" eval "! runs_here 'BDS3.Bin.dcc32\.exe'"
check "killed run: a journal is left" eval '! journal_gone'
run 2.4.1.17 restore
cat "$work/out"
snapshot >"$work/after"
check "next start: it names Delphi 2005" grep -q "$bds is as it was before that run." "$work/out"
check "next start: Delphi 2005's registry and files are as they were" diff "$work/before" "$work/after"
check "next start: no journal is left" journal_gone
[ "$failures" -eq 0 ]
