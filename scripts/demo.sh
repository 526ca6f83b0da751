#!/usr/bin/env bash
# Builds setup.exe, seeds a private Wine prefix with Delphi 7, C++Builder 6 and BDS 3, makes a
# distribution folder and runs the installer there. Until the wizard window is part of the build,
# start-up ends with a summary of what it found. Without $DISPLAY it runs on Xvfb, saves a
# screenshot and names it at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/install-deps.sh
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake >/dev/null
cmake --build build/win64 -j "$(nproc)" --target setup seed_ides ui_driver
bin=$top/build/win64/bin

demo=$top/build/demo
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" "$demo/dist" "$demo/screenshots"
wineboot -i >/dev/null 2>&1
wine "$bin/seed_ides.exe" tools/seed_ides/demo.ides | tr -d '\r'

cp "$bin/setup.exe" "$demo/dist/"
printf '2.4.1.17 Standard Edition\r\n' >"$demo/dist/version"
cd "$demo/dist"

echo; echo "== setup.exe --help"
status=0; echo | wine setup.exe --help | tr -d '\r' || status=$?
echo "(exit code $status)"

echo; echo "== setup.exe"
if [[ -n ${DISPLAY:-} ]]; then
    wine setup.exe
else
    bash "$top/wizard/tests/gui/run_on_xvfb.sh" bash -c '
        wine setup.exe & setup=$!
        for _ in $(seq 100); do xwininfo -root -tree | grep -q "Quorvex Setup" && break; sleep 0.2; done
        sleep 1
        import -window root "$1/startup.png"
        wine "$2/ui_driver.exe" message "Quorvex Setup" | tr -d "\r"
        wait $setup' _ "$demo/screenshots" "$bin"
    echo; echo "Screenshot: $demo/screenshots/startup.png"
fi
wineserver -k 2>/dev/null || true
