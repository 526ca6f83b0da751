#!/usr/bin/env bash
# The programs that mkdist ships must start on 32-bit Windows XP SP3. No 32-bit program runs on
# this machine, so their PE headers and import tables are read instead.
# Usage: shipped_runs_on_xp_test.sh OBJDUMP HOST-BIN [BIN]
#   OBJDUMP   an objdump that reads PE32 and PE32+ files
#   HOST-BIN  the native build's programs, for mkdist
#   BIN       the Windows programs to ship; without it, mkdist's own default
set -uo pipefail -o noglob
objdump=$1 host_bin=$2 bin=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

# XP's own system libraries that a program may import.
xp_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll"
# Functions that XP SP3 lacks (extended regular expressions over the whole name). XP's msvcrt.dll
# has none of the C runtime's *_s functions nor the 64-bit seek and tell.
missing_on_xp='^GetTickCount64$ ^SetDefaultDllDirectories$ ^AddDllDirectory$ ^RemoveDllDirectory$
SRWLock ConditionVariable ^InitOnce ^Fls(Alloc|Free|GetValue|SetValue)$ ^CreateSymbolicLink
^GetFinalPathNameByHandle LocaleName
^(GetLocaleInfo|CompareString|LCMapString|GetDateFormat|GetTimeFormat|GetNumberFormat|GetCurrencyFormat|EnumSystemLocales|EnumDateFormats|EnumTimeFormats|EnumCalendarInfo|GetCalendarInfo|GetDurationFormat|FindNLSString|GetNLSVersion|IsValidLocale)Ex$
^SHGetKnownFolderPath$ ^TaskDialog ^RegGetValue ^RegDeleteTree ^RegCopyTree ^RegDeleteKeyEx
^GetFileInformationByHandleEx$ ^QueryFullProcessImageName ^CancelIoEx$ ^GetErrorMode$
^Wow64DisableWow64FsRedirection$ ^InterlockedCompareExchange64$ _s$ ^_fseeki64$ ^_ftelli64$'

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

dist=$(mktemp -d)
trap 'rm -rf "$dist"' EXIT
bin_option=()
[ -n "$bin" ] && bin_option=(--bin "$bin")
bash "$here/../mkdist.sh" "${bin_option[@]}" --host-bin "$host_bin" "$dist" >/dev/null || exit 1

# header_value HEADERS NAME: a field of objdump's private headers, as printed (hex or decimal).
header_value() { awk -v name="$2" '$1 == name { print $2; exit }' <<<"$1"; }
version_at_most_xp() {  # version_at_most_xp HEADERS MAJOR-FIELD MINOR-FIELD
    local major minor
    major=$(header_value "$1" "$2") minor=$(header_value "$1" "$3")
    [[ -n $major && -n $minor ]] && ((10#$major * 100 + 10#$minor <= 501))
}

for exe in setup.exe unrar.exe; do
    headers=$("$objdump" -p "$dist/$exe" 2>&1) || { fail "$exe: objdump cannot read it: $headers"; continue; }
    format=$("$objdump" -f "$dist/$exe" | sed -n 's/.*file format //p')
    [ "$format" = pei-i386 ] || fail "$exe is $format, not a 32-bit x86 program"
    version_at_most_xp "$headers" MajorOSystemVersion MinorOSystemVersion ||
        fail "$exe asks for OS version $(header_value "$headers" MajorOSystemVersion).$(header_value "$headers" MinorOSystemVersion)"
    version_at_most_xp "$headers" MajorSubsystemVersion MinorSubsystemVersion ||
        fail "$exe asks for subsystem version $(header_value "$headers" MajorSubsystemVersion).$(header_value "$headers" MinorSubsystemVersion)"

    # The import table: a "DLL Name:" line per library, then one line per function
    # (address, hint, name) up to an empty line.
    imports=$(awk '/^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
                   dll != "" && NF == 0 { dll = ""; next }
                   dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print dll, $3 }' <<<"$headers")
    [ -n "$imports" ] || { fail "$exe: no import table read"; continue; }
    for dll in $(cut -d' ' -f1 <<<"$imports" | sort -u); do
        tr ' ' '\n' <<<"$xp_dlls" | grep -qxF "$dll" || fail "$exe imports $dll, which XP lacks"
    done
    functions=$(cut -d' ' -f2 <<<"$imports")
    for pattern in $missing_on_xp; do
        while read -r name; do
            [ -n "$name" ] && fail "$exe imports $name, which XP SP3 lacks"
        done < <(grep -E -- "$pattern" <<<"$functions")
    done
    echo "$exe: $(wc -l <<<"$functions") functions from $(cut -d' ' -f1 <<<"$imports" | sort -u | wc -l) DLLs"
done

# The manifest names x86, else Windows refuses to start the program.
architectures=$(grep -ao 'processorArchitecture="[^"*]*"' "$dist/setup.exe" | sort -u)
[ "$architectures" = 'processorArchitecture="x86"' ] ||
    fail "setup.exe's manifest names ${architectures:-no architecture}, not x86 alone"

# Aware of the system DPI, so that Vista to 11 do not stretch the window as a bitmap; XP ignores
# the element, and a manifest XP cannot read would stop the program there.
grep -aq '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
    "$dist/setup.exe" || fail "setup.exe's manifest does not declare it aware of the system DPI"

[ "$failures" -eq 0 ] && echo "ok: the shipped programs start on Windows XP"
[ "$failures" -eq 0 ]
