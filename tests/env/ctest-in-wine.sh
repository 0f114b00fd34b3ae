#!/usr/bin/env bash
# Runs ctest with one persistent wineserver, started here and ended here.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh" "$1"
kavo_wine_start
cd "$kavo_build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
rc=$?
kavo_wine_stop
exit $rc
