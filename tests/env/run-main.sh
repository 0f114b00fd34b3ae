#!/usr/bin/env bash
# The README's run command. Installs what is needed, builds, registers the scripted browser
# in the build's Wine prefix and runs the demo journey (tests/journey/demo.journey) under
# Xvfb against the bundled fake operator, then the page bench's gallery case (every page's
# document for a signed-in customer, in build/demo/pages); then writes the page gallery to
# build/demo/index.html and prints its path.
#
#   run-main.sh --live [ARGUMENTS]   with a display: the wizard shown on it instead, started
#                                    with ARGUMENTS (e.g. -P A-N07), for a person to click
#                                    through; ends when the program ends
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${KAVO_BUILD_DIR:-$top/build}
live=0
if [ "${1:-}" = --live ]; then
  live=1
  shift
  [ -n "${DISPLAY:-}" ] || { echo "--live needs a display (DISPLAY is not set)" >&2; exit 2; }
fi
if [ $live = 1 ]; then
  bash "$top/tests/env/install-deps.sh"
else
  bash "$top/tests/env/install-deps.sh" --gallery
fi
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686-mingw.cmake"
cmake --build "$build" -j "$(nproc)" --target kavo-journey wizard_tests control_tests AxPevlin

if [ $live = 1 ]; then
  mkdir -p "$build/live"
  # The driver sets up the run folder, the definition and the fake operator, starts the
  # program and waits for it to end.
  { echo "start KAVO.exe $*"; echo "exit any"; } > "$build/live/live.journey"
  . "$top/tests/env/wine-env.sh" "$build"
  kavo_wine_start
  kavo_register_scripted_browser
  rc=0
  wine "$build/bin/kavo-journey.exe" "$(winepath -w "$build/live/live.journey")" \
    --run-folder "$(winepath -w "$build/live/run")" || rc=$?
  kavo_wine_stop
  exit $rc
fi

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cat > "$build/run-main-inner.sh" <<INNER
#!/usr/bin/env bash
set -euo pipefail
. "$top/tests/env/wine-env.sh" "$build"
kavo_wine_start
kavo_register_scripted_browser
rc=0
wine "$build/bin/kavo-journey.exe" tests/journey/demo.journey --run-folder "\$(winepath -w "$demo/run")" \
  --pictures "\$(winepath -w "$demo")" || rc=\$?
mkdir -p "$demo/pages"
( cd "$build" && KAVO_BIN_DIR="$build/bin" KAVO_PAGE_GALLERY_DIR="\$(winepath -w "$demo/pages")" \
  wine bin/wizard_tests.exe "--gtest_filter=PageGallery.*" --gtest_color=no ) || rc=\$?
# The connection-check control's progress panel while a diagnosis reports its steps.
mkdir -p "$demo/control"
( cd "$build" && KAVO_GALLERY_DIR="\$(winepath -w "$demo/control")" \
  wine bin/control_tests.exe "--gtest_filter=ExecutionFrame.WorkerDrivesThePanelWhileThePageReadsItsStepCode" \
  --gtest_color=no ) || rc=\$?
# The order acknowledgement as the built-in print script draws it.
mkdir -p "$demo/print"
( cd "$build" && KAVO_PRINT_GALLERY_DIR="\$(winepath -w "$demo/print")" \
  wine bin/core_tests.exe "--gtest_filter=PrintScript.BuiltInAcknowledgementDrawsEveryValueOnAPage" \
  --gtest_color=no ) || rc=\$?
kavo_wine_stop
exit \$rc
INNER
start=$(date +%s)
xvfb-run -a -s "-screen 0 1024x768x24" bash "$build/run-main-inner.sh"
python3 "$top/tests/journey/make_gallery.py" "$demo" "$demo/run/record" "$demo/pages"
echo "demo journey and gallery: $(( $(date +%s) - start )) s"
echo "$demo/index.html"
