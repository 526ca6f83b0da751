#!/usr/bin/env bash
# Builds everything, makes a sample distribution with mkdist, seeds a private Wine prefix with
# Delphi 7, C++Builder 6 and BDS 3 and opens setup.exe on $DISPLAY. Without a display it runs on
# Xvfb, walks a first installation through every page, saves a screenshot of each page and names
# the folder at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake >/dev/null
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null
cmake --build build/native -j "$(nproc)" --target mkarc mksample
cmake --build build/win64 -j "$(nproc)" --target setup seed_ides ui_driver unrar
bin=$top/build/win64/bin

demo=$top/build/demo
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" "$demo/dist" "$demo/screenshots"
wineboot -i >/dev/null 2>&1
wine "$bin/seed_ides.exe" tools/seed_ides/demo.ides | tr -d '\r'

wine reg delete 'HKLM\Software\Veltrano Software\Quorvex' /f /reg:32 >/dev/null 2>&1 || true
bash tools/mkdist/mkdist.sh --bin "$bin" --host-bin "$top/build/native/bin" "$demo/dist"
cd "$demo/dist"

echo; echo "== setup.exe --help"
status=0; echo | wine setup.exe --help | tr -d '\r' || status=$?
echo "(exit code $status)"

echo; echo "== setup.exe"
if [[ -n ${DISPLAY:-} ]]; then
    wine setup.exe
else
    bash "$top/wizard/tests/gui/run_on_xvfb.sh" bash -c '
        bin=$2 here=$3/setup/tests; source "$here/gui_steps.sh"
        # The walk shows the refusal of a folder that holds other files.
        mkdir -p "$WINEPREFIX/drive_c/Photos" && echo x >"$WINEPREFIX/drive_c/Photos/me.jpg"
        wine setup.exe & setup=$!
        drive wait "$W" 60000
        walk_first_installation "$1" "C:\\Program Files\\Borland\\Delphi7\\Projects\\Bpl"
        printf "%s\n" "$output"
        drive click "$W" Button "Finish"
        wait $setup
        # Delphi 7'\''s own BPL folder is on PATH: every package must load.
        if grep -q "^Warning: " <<<"$output"; then echo "The demo installation warned."; exit 1; fi' _ "$demo/screenshots" "$bin" "$top"
    echo; echo "Screenshots of every page: $demo/screenshots"
fi
wineserver -k 2>/dev/null || true
