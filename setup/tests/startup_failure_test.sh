#!/usr/bin/env bash
# A start-up that fails (no version file, a blank one, a damaged registry record) ends setup.exe
# with a message box showing the error and exit code 2, having written nothing.
# Usage: startup_failure_test.sh SETUP_EXE UI_DRIVER_EXE   (run on a display, see run_on_xvfb.sh)
set -uo pipefail
setup_exe=$1 driver=$2
failures=0
check() {
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
product='HKLM\Software\Veltrano Software\Quorvex'
dist=$(mktemp -d); trap 'cd /; rm -rf "$dist"; wine reg delete "$product" /f /reg:32 >/dev/null 2>&1' EXIT
cd "$dist"
wine reg delete "$product" /f /reg:32 >/dev/null 2>&1

run_case() { # name, expected part of the message
    # Bounded, so that a box nobody answers fails the case instead of hanging the run.
    timeout 120 wine "$setup_exe" >/dev/null 2>&1 &
    local setup_pid=$!
    local message
    message=$(wine "$driver" message "Quorvex Setup" 60000 | tr -d '\r')
    wait "$setup_pid"; local code=$?
    check "$1: message names the fault (\"$message\")" grep -qF -- "$2" <<<"$message"
    message_seen=$message
    # 2 is the program's own: a timeout's 124 would mean the box held the program up.
    check "$1: exit code 2 ($code)" test "$code" -eq 2
}

# The path and the system's reason, not only that the file could not be opened.
run_case "no version file" "Cannot open file $(winepath -w "$dist" 2>/dev/null)\\version: "
check "no version file: the reason follows the path" grep -qE 'version: [A-Z][a-z]+' <<<"$message_seen"
check "no version file: nothing written" bash -c "! wine reg query '$product' /reg:32 >/dev/null 2>&1"

printf ' \r\n' >version
run_case "blank version file" "Bad version string"

printf '2.4.1\r\n' >version
wine reg add "$product" /v InstallDir /t REG_SZ /d 'C:\Q' /f /reg:32 >/dev/null
wine reg add "$product" /v InstalledVersion /t REG_DWORD /d 7 /f /reg:32 >/dev/null
run_case "registry value of the wrong kind" 'InstalledVersion'
check "wrong kind: the message names the key" grep -qF 'Software\Veltrano Software\Quorvex' <<<"$message_seen"
check "wrong kind: the record is left as it was" \
    bash -c "wine reg query '$product' /v InstalledVersion /reg:32 | grep -q REG_DWORD"

[ "$failures" -eq 0 ]
