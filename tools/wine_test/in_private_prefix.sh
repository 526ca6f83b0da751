#!/usr/bin/env bash
# Runs a command in a private copy of the template Wine prefix (QV_WINE_TEMPLATE), with a
# wineserver and a recycle bin of its own, so that Wine tests run side by side without touching
# each other's registry or files. The copy goes, and its wineserver ends, afterwards.
# Usage: in_private_prefix.sh COMMAND [ARGS...]
set -uo pipefail
template=${QV_WINE_TEMPLATE:?the template prefix made by make_template.sh}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine.XXXXXX")
cleanup() {
    WINEPREFIX=$scratch/prefix wineserver -k >/dev/null 2>&1
    WINEPREFIX=$scratch/prefix wineserver -w >/dev/null 2>&1
    rm -rf "$scratch"
}
trap cleanup EXIT
bash "$(dirname "$0")/copy_prefix.sh" "$template" "$scratch/prefix" || exit 1
# Wine's recycle bin and desktop files follow XDG_DATA_HOME.
export WINEPREFIX=$scratch/prefix XDG_DATA_HOME=$scratch/xdg-data
"$@"
