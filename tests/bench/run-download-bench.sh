#!/usr/bin/env bash
# Downloads a 64 MiB file from the fake content server twice in one run: with curl on the
# Linux side and with DownloadFile (DownloadBench.exe under Wine), and prints both
# throughputs and their ratio. Usage: tests/bench/run-download-bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-3}
[ -x "$build/bin/DownloadBench.exe" ] && [ -f "$build/bin/KavoScriptedBrowser.dll" ] ||
  cmake --build "$build" --target DownloadBench KavoScriptedBrowser

. "$top/tests/bench/bench-server.sh"
head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/fixtures/bench.bin"
bench_start_server
url="http://127.0.0.1:$port/bench.bin"

curl_best=0
for run in $(seq "$runs"); do
  rate=$(curl -s -o "$work/curl.bin" -w '%{speed_download}' "$url")
  echo "curl run $run: $rate bytes/s"
  curl_best=$(python3 -c "print(max(float('$curl_best'), float('$rate')))")
done
cmp -s "$work/curl.bin" "$work/fixtures/bench.bin" || { echo "curl copy differs" >&2; exit 1; }

. "$top/tests/env/wine-env.sh" "$build"
kavo_wine_start
kavo_register_scripted_browser
target="$work/wine.bin"
out=$(wine "$build/bin/DownloadBench.exe" "$url" "Z:${target//\//\\}" "$runs" | tr -d '\r')
kavo_wine_stop
echo "$out" | grep '^run'
cmp -s "$target" "$work/fixtures/bench.bin" || { echo "DownloadFile copy differs" >&2; exit 1; }
client_best=$(echo "$out" | awk '/^best_bytes_per_second/ {print $2}')
wininet_best=$(echo "$out" | awk '/^wininet_bytes_per_second/ {print $2}')

python3 - "$curl_best" "$client_best" "$wininet_best" <<'PY'
import sys
curl, client, wininet = (float(a) for a in sys.argv[1:4])
mib = 1024 * 1024
print("curl (Linux):                 %8.1f MiB/s" % (curl / mib))
print("DownloadFile (Wine):          %8.1f MiB/s" % (client / mib))
print("ratio:                        %8.1f %% of curl" % (100 * client / curl))
# Wine's WinHTTP takes the socket in 8 KiB reads whatever the caller asks for; WinINet reads
# into the caller's buffer. The second figure shows what the same process takes in that way.
print("WinINet, 1 MiB reads (Wine):  %8.1f MiB/s, %.1f %% of curl" % (wininet / mib, 100 * wininet / curl))
PY
