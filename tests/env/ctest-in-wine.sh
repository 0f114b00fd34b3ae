#!/usr/bin/env bash
# Runs ctest with one persistent wineserver, started here and ended here.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh" "$1"
kavo_wine_start
# Anew for every run: an update of the prefix can bring back Wine's own browser.
kavo_register_scripted_browser || exit 1
cd "$kavo_build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
rc=$?
kavo_wine_stop
exit $rc
