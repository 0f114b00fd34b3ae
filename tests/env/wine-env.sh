# Sourced by every script that runs the project's programs under Wine.
# Usage: . tests/env/wine-env.sh BUILD_DIR
kavo_build=$(cd "${1:?build dir}" && pwd)
kavo_env_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

export WINEPREFIX="$kavo_build/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null   # ANSI code page 932 inside Wine; no glibc locale is needed
export TZ=Asia/Tokyo
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy

kavo_wine_start() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # One persistent server for the whole run: later processes start in well under a second.
  wineserver -p 2>/dev/null || true   # already running: keep that one
  wine cmd /c exit 0 >/dev/null 2>&1 || true
}

kavo_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
