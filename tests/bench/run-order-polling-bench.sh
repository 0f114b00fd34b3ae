#!/usr/bin/env bash
# Places one order against the fake order system, which finishes the work after POLLS status
# requests (one a second), and prints how much of one core the order page's process took
# meanwhile (OrderPollingBench.exe under Wine and Xvfb).
# Usage: tests/bench/run-order-polling-bench.sh [BUILD_DIR] [POLLS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
polls=${2:-25}
[ -x "$build/bin/OrderPollingBench.exe" ] && [ -f "$build/bin/KavoScriptedBrowser.dll" ] ||
  cmake --build "$build" --target OrderPollingBench KavoScriptedBrowser

. "$top/tests/bench/bench-server.sh"
bench_start_server
curl -s -X POST -d "{\"polls_until_done\": $polls}" "http://127.0.0.1:$port/_control/orders/model" >/dev/null

url="http://127.0.0.1:$port/wso/direct.jsp"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . "$1/tests/env/wine-env.sh" "$2"
  kavo_wine_start
  kavo_register_scripted_browser
  rc=0
  wine "$2/bin/OrderPollingBench.exe" "$3" | tr -d "\r" || rc=$?
  kavo_wine_stop
  exit $rc' bench "$top" "$build" "$url"
echo "requests: $(curl -s "http://127.0.0.1:$port/_control/orders/ids")"
