#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests under Wine and Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${KAVO_BUILD_DIR:-$top/build}
bash "$top/tests/env/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686-mingw.cmake"
cmake --build "$build" -j "$(nproc)"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$top/tests/env/ctest-in-wine.sh" "$build"
