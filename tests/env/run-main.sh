#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main program under Wine and Xvfb from a
# folder of its own, with the built-in definition text extracted beside it and its log on.
# Arguments are passed to the program (default: none, the normal start).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${KAVO_BUILD_DIR:-$top/build}
bash "$top/tests/env/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686-mingw.cmake"
cmake --build "$build" -j "$(nproc)" --target KAVO KAVOCore KAVOComp kavo-run

run="$build/run"
rm -rf "$run"
mkdir -p "$run"
# kavo-run beside the program: a bare program name is looked up in the starter's folder first.
cp "$build/bin/KAVO.exe" "$build/bin/KAVOCore.dll" "$build/bin/KAVOComp.exe" "$build/bin/kavo-run.exe" "$run/"

cat > "$build/run-main-inner.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
. "$top/tests/env/wine-env.sh" "$build"
kavo_wine_start
cd "$run"
# The core library writes its built-in text out, as rundll32 would on Windows.
wine rundll32 KAVOCore.dll,KAVOCore_ExtractTextDef text.def
printf 'COMMON_NAME_LOGFILE=kavo.log\r\n' >> text.def
echo "== KAVO.exe \$*"
wine kavo-run.exe KAVO.exe "\$@"
echo "== kavo.log"
cat kavo.log 2>/dev/null || echo "(no log)"
kavo_wine_stop
INNER
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$build/run-main-inner.sh" "$@"
