#!/usr/bin/env bash
# A guarded folder is known by what it is, not by its name: the product's record names in turn
# the distribution C:\Qv Dist through a drive mapped onto C:\ (Q:\Qv Dist), and a folder of the
# Windows folder through a drive mapped onto it (W:\qvsentinel) and through a link to it
# (C:\QvAlias\qvsentinel); each time an uninstall runs through engine_run, started from C:\Qv Dist.
# Each folder is refused with its reason, in the output and in install.log, and nothing of the
# distribution or of the Windows folder is deleted. The plain product folder is still removed.
# Wine's drives are the prefix's dosdevices entries (what "subst" makes on Windows); a Unix
# symbolic link is a link to Windows programs.
# Usage: folder_identity_test.sh BIN_DIR HOST_BIN_DIR   (in a private prefix, see tools/wine_test)
set -uo pipefail
bin=$1 host_bin=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../tools/wine_test/checks.sh"
begin_scratch
dist=$drive_c/Qv\ Dist
sentinel=$drive_c/windows/qvsentinel/sentinel.txt

bash "$here/../../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host_bin" "$dist" >/dev/null
cp "$bin/engine_run.exe" "$dist/"
printf '[Delphi 7.0]\r\nroot = C:\\D7\r\n' >"$work/seed.ides"
wine "$bin/seed_ides.exe" "$work/seed.ides" >/dev/null
ln -s "$drive_c" "$WINEPREFIX/dosdevices/q:"
ln -s "$drive_c/windows" "$WINEPREFIX/dosdevices/w:"
ln -s "$drive_c/windows" "$drive_c/QvAlias"
version=$(head -n 1 "$dist/version" | tr -d '\r')
# Setup's folder and the current directory are C:\Qv Dist by that name.
printf '@echo off\r\ncd /d "C:\\Qv Dist"\r\n"C:\\Qv Dist\\engine_run.exe" uninstall\r\nexit /b %%errorlevel%%\r\n' \
    >"$dist/uninstall.bat"

# uninstall FOLDER: the installed product recorded in FOLDER, then its uninstall; sets output,
# code and log (install.log).
uninstall() {
    local key='HKLM\Software\Veltrano Software\Quorvex'
    wine reg add "$key" /v InstallDir /d "$1" /reg:32 /f >/dev/null 2>&1
    wine reg add "$key" /v InstalledVersion /d "$version" /reg:32 /f >/dev/null 2>&1
    rm -f "$dist/install.log"
    output=$(wine cmd /c 'C:\Qv Dist\uninstall.bat' | tr -d '\r')
    code=$?
    log=$(tr -d '\r' <"$dist/install.log" 2>/dev/null)
    echo "$output"
}
distribution_whole() {
    local file
    for file in setup.exe data.arc unrar.exe version engine_run.exe; do test -f "$dist/$file" || return 1; done
}

# The plain product folder first: the uninstall removes what it should.
mkdir -p "$drive_c/Quorvex Test/Packages"
echo x >"$drive_c/Quorvex Test/Packages/bcb.bmk"
uninstall 'C:\Quorvex Test'
check "the product's own folder is removed (exit $code)" eval 'test "$code" -eq 0 && test ! -e "$drive_c/Quorvex Test"'
check "its removal is refused nowhere" eval '! grep -q "is left as it is" <<<"$output"'

# The distribution last: a removal of it would take engine_run and the cases after it.
setup_folder='setup runs from it or from a folder inside it'
system_folder='it is a folder of the system or of the user, or holds one'
for refused in "W:\\qvsentinel|$system_folder" "C:\\QvAlias\\qvsentinel|$system_folder" "Q:\\Qv Dist|$setup_folder"; do
    folder=${refused%%|*}
    line="The folder $folder is left as it is: ${refused#*|}."
    mkdir -p "$(dirname "$sentinel")" && echo theirs >"$sentinel"
    uninstall "$folder"
    check "$folder: the uninstall ran (exit $code)" test "$code" -eq 0
    check "$folder: refused with its reason" grep -qxF "$line" <<<"$output"
    check "$folder: install.log holds the refusal" grep -qxF "$line" <<<"$log"
    check "$folder: the distribution is whole" distribution_whole
    check "$folder: the Windows folder's file stays" test -f "$sentinel"
done
[ "$failures" -eq 0 ]
